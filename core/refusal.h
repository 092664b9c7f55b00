// The engine's one error style. A function that cannot do what it is asked --
// a file or a typed value breaks its rule, a caller breaks a precondition, a
// checker finds a broken promise -- throws Refusal and changes nothing it was
// given. The reason is what callers switch on; what() is the sentence for the
// user, naming the value and what is wrong with it. No caller reads the text to
// decide anything, and nothing else is thrown on purpose.
#pragma once

#include <stdexcept>
#include <string>

namespace velnor {

class Refusal : public std::runtime_error {
public:
    enum class Reason {
        DspCoreFile,              // the DFG file cannot be read or breaks its format
        DspCoreTooLarge,          // a DSP core of more operations than the hash chain takes
        LibraryFile,              // the module library cannot be read or breaks its format
        ResourceCountMissing,     // no count for a type the DSP core holds
        ResourceCountZero,        // a count of 0 units
        ResourceCountOutOfRange,  // a negative count, or one above the type's bound
        EncodingCount,            // a number of encodings outside 1..9
        EncodingsMalformed,       // a rule number repeated or outside 1..9
        TooFewEncodings,          // fewer rule numbers than the number of encodings
        OrderKeySize,             // a stego key of the wrong length
        OrderKeyEntry,            // a stego key entry naming no block
        RoundsMalformed,          // a round count outside 1..80
        RoundCountMismatch,       // not two round counts per encoding
        HashChain,                // inputs the hash chain cannot take
        ConstraintSize,           // a constraint size outside 0 .. k(k+1)/2
        NotAWholeNumber,          // a numeric value that is no optionally signed decimal integer
        InvalidArgument,          // a caller broke a function's precondition
        BrokenInvariant,          // a checker found a promise of synthesis or embedding broken
        CommandLine,              // the batch tool's options are not a valid command
        FileNotWritten,           // a file the run needs could not be written
        DatapathFile,             // a datapath file cannot be read or breaks its format
        SuspectDesign,            // a datapath that is not one of the run's DSP core
        SuspectNetlist,           // suspect hardware that cannot be read, simulated or matched to the DSP core
        OwnerRecord,              // an owner's record that cannot be read, or whose files changed
        ImportFile,               // a file to import that cannot be read or parsed, or whose graph is no DSP core
    };

    Refusal(Reason reason, const std::string &message) : std::runtime_error(message), reason_(reason) {}

    Reason reason() const { return reason_; }

private:
    Reason reason_;
};

}  // namespace velnor
