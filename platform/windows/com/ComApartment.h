#pragma once

#include <string>

namespace WinCom {

// COM for this thread as a single-threaded apartment, from construction to
// destruction. Every COM reference must be released before it is destroyed.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    bool ok() const { return ok_; }
    // Why COM could not be initialised ("" when it was).
    const std::string& failure() const { return failure_; }

private:
    bool ok_ = false;
    std::string failure_;
};

}  // namespace WinCom
