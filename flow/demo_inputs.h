// The example that `velnor-cli demo` runs and the window opens: a small DSP
// filter, a module library and a stego key, compiled into the program so that
// it needs no files.
#pragma once

namespace velnor {

struct DemoInputs {
    const char *dfg_name;  // the file name the filter is saved under
    const char *dfg_text;
    const char *library_name;
    const char *library_text;
    const char *adders;
    const char *multipliers;
    const char *subtractors;
    const char *encodings;
    const char *order;
    const char *rounds;
    const char *size;
};

const DemoInputs &demo_inputs();

}  // namespace velnor
