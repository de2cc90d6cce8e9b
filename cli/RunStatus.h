// The exit status of a run for the schedulers that start it: 0 when nothing failed, 3 when every
// failure was one a retry may mend, 1 when any was permanent (2, a wrong command line, is decided
// before a run starts).
#pragma once

namespace kvaderon::cli {

class TRunStatus {
public:
    void Failed(bool ARetry) {
        ++FFailures;
        FPermanent = FPermanent || !ARetry;
    }
    int Code() const { return FFailures == 0 ? 0 : FPermanent ? 1 : 3; }

private:
    int FFailures = 0;
    bool FPermanent = false;
};

} // namespace kvaderon::cli
