// GDI+ for this program: its headers need min and max, which NOMINMAX keeps out of windows.h, and COM's IStream.
#pragma once

#include <windows.h>

#include <objidl.h>

#include <algorithm>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus

#include <gdiplus.h>

namespace Arkova {

// GDI+ for the lifetime of the object; the main window's owner keeps one while windows draw images.
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool Started() const { return token_ != 0; }

private:
    ULONG_PTR token_ = 0;
};

}  // namespace Arkova
