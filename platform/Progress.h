// A progress bar as a thin handle: a control with a range, a position and a
// bar colour. A position outside the range is drawn at the nearer end.
#pragma once

#include "platform/Color.h"
#include "platform/Control.h"

class IProgressCtrl : public IControl {
public:
    virtual void SetRange(int lower, int upper) = 0;
    virtual void SetPos(int pos) = 0;
    virtual int GetPos() const = 0;
    virtual void SetBarColor(COLORREF color) = 0;
};
