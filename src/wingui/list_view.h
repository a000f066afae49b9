#pragma once
// A list view in report view: columns, rows of cells, selection. With virtualRows the control holds no texts:
// it asks onGetText for each visible cell, so a folder of any size shows at once.

#include <functional>
#include <vector>

#include "wingui/control.h"

namespace Arkova::WinGui {

class ListView : public Control {
public:
    struct CreateArgs : ControlArgs {
        DWORD view = LVS_REPORT;
        DWORD extendedStyle = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
        bool virtualRows = false;  // LVS_OWNERDATA
        bool singleSelection = false;
        bool border = true;
    };

    ListView() = default;
    bool Create(const CreateArgs& args);

    void SetExtendedStyle(DWORD mask, DWORD style);
    DWORD ExtendedStyle() const;

    // Width at 96 DPI, scaled by the control's DPI. Returns the column's index or -1.
    int AddColumn(std::wstring_view text, int width, int format = LVCFMT_LEFT);
    int ColumnCount() const;
    std::wstring ColumnText(int column) const;
    int ColumnWidth(int column) const;  // pixels

    // Inserts a row at `row` (or at the end when row is -1) with its first cell; returns its index or -1.
    int InsertRow(int row, std::wstring_view text, LPARAM data = 0);
    // Appends a row of cells: cells[i] goes to column i.
    int AddRow(const std::vector<std::wstring>& cells, LPARAM data = 0);
    bool SetItemText(int row, int column, std::wstring_view text);
    std::wstring ItemText(int row, int column) const;
    LPARAM RowData(int row) const;
    int RowCount() const;
    void DeleteAllRows();
    // Virtual rows only: how many rows onGetText serves.
    void SetRowCount(int count);

    // Turns painting off around a batch of changes (rows inserted into a visible list are slow otherwise).
    void SetRedraw(bool on);

    // Rows' check boxes (LVS_EX_CHECKBOXES).
    bool RowChecked(int row) const;
    void SetRowChecked(int row, bool checked);

    int SelectedRow() const;  // the first selected row, or -1
    std::vector<int> SelectedRows() const;
    void SelectRow(int row, bool selected = true);
    void EnsureVisible(int row);

    std::function<std::wstring(int row, int column)> onGetText;  // virtual rows
    std::function<int(int row)> onGetImage;                      // virtual rows: the row's image index
    std::function<void()> onSelectionChanged;
    // A row's check box changed, by the user or by SetRowChecked.
    std::function<void(int row, bool checked)> onCheckChanged;
    std::function<void(int row)> onActivate;  // double click or Enter
    std::function<void(int column)> onColumnClick;

protected:
    bool OnNotify(NMHDR& header, LRESULT& result) override;

private:
    bool FillDisplayInfo(NMLVDISPINFOW& info);
};

}  // namespace Arkova::WinGui
