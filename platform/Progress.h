// A progress bar as a thin handle: a control with a range, a position and a
// bar colour. A position outside the range is drawn at the nearer end.
#pragma once

#include "platform/Color.h"
#include "platform/Control.h"

#include <string>

class IProgressCtrl : public IControl {
public:
    virtual void SetRange(int lower, int upper) = 0;
    virtual void SetPos(int pos) = 0;
    virtual int GetPos() const = 0;
    virtual void SetBarColor(Color color) = 0;
};

// The words that go with a progress bar where there is room for them: each
// step as it starts (number of count) and each step that did not do what it
// says. A window has no room and passes none; the terminal prints them.
class IProgressLog {
public:
    virtual ~IProgressLog() = default;
    virtual void StepStarted(int number, int count, const std::string& what) = 0;
    virtual void StepFailed(const std::string& what) = 0;
};
