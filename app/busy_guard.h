// Marks one of the window's slots as running for its lifetime, so that a field
// losing focus to the slot's own message box does not act a second time.
#pragma once

namespace velnor {

class BusyGuard {
public:
    explicit BusyGuard(bool &busy) : busy_(busy) { busy_ = true; }
    ~BusyGuard() { busy_ = false; }
    BusyGuard(const BusyGuard &) = delete;
    BusyGuard &operator=(const BusyGuard &) = delete;

private:
    bool &busy_;
};

}  // namespace velnor
