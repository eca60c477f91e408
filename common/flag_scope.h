#pragma once
// Sets a flag for as long as a scope lasts, so a re-entrant call (a tick or an opening
// attempt started from inside a wait that lets events run) can see that it is nested.

namespace quillon {

class FlagScope {
  public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

  private:
    bool& flag_;
};

}  // namespace quillon
