#pragma once
// A progress bar with a position in a range, or a marquee when the amount of work is unknown.

#include "wingui/control.h"

namespace Arkova::WinGui {

class ProgressBar : public Control {
public:
    struct CreateArgs : ControlArgs {
        int minimum = 0;
        int maximum = 100;
    };

    ProgressBar() = default;
    bool Create(const CreateArgs& args);

    void SetRange(int minimum, int maximum);
    int Minimum() const;
    int Maximum() const;
    void SetPos(int position);
    int Pos() const;

    // Switches between a marquee and a position bar; adds or removes PBS_MARQUEE, which the bar needs to
    // animate (comctl32 v6). intervalMs is the time between animation steps.
    void SetMarquee(bool on, int intervalMs = 30);
    bool IsMarquee() const;
};

}  // namespace Arkova::WinGui
