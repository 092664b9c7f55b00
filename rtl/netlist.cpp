// Lookups on the suspect's netlist.
#include "rtl/netlist.h"

namespace velnor {

const NetlistPort *find_port(const Netlist &netlist, const std::string &name) {
    for (const NetlistPort &port : netlist.ports)
        if (port.name == name)
            return &port;
    return nullptr;
}

}  // namespace velnor
