// The Edit menu's Copy, Cut and Paste: they act on the focused control of the active window,
// a record-set grid (its selected block as tab-separated lines) or a text box (its selected
// text). The class keeps no state; each command makes one, calls it and lets it go.
#pragma once

#include "platform/Platform.h"

namespace tovan {

class clsEdit {
  public:
    explicit clsEdit(Platform& platform) : platform_(platform) {}

    void Copy();
    void Cut();
    void Paste();

  private:
    Platform& platform_;
};

} // namespace tovan
