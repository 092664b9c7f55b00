// Writes the run's Verilog files and the gate-count lines. The statistics go
// to standard error so that standard output stays what scripts parse.
#include "cli/verilog_export.h"

#include "tools/gate_count.h"
#include "rtl/verilog_writer.h"

namespace velnor::cli {
namespace {

bool write_file(const Datapath &datapath, DesignStage stage, const std::string &option, const std::string &path,
                std::ostream &err) {
    try {
        if (write_verilog_file(datapath, stage, path))
            return true;
        err << "--" << option << ": cannot write " << path << "\n";
    } catch (const VerilogError &error) {
        err << "--" << option << ": " << error.what() << "\n";
    }
    return false;
}

bool print_stats(const Datapath &datapath, DesignStage stage, double library_area, std::ostream &err) {
    try {
        const GateCount count = synthesized_gate_count(datapath_verilog(datapath, stage), verilog_module_name(datapath));
        err << "verilog-stats " << (stage == DesignStage::Signed ? "signed" : "unsigned") << " : cells "
            << count.cells << " flip-flops " << count.flip_flops << " library area " << library_area << "\n";
        return true;
    } catch (const std::exception &error) {  // VerilogError or GateCountError
        err << "--verilog-stats: " << error.what() << "\n";
        return false;
    }
}

}  // namespace

bool export_verilog(const FlowRun &run, const VerilogRequest &request, std::ostream &err) {
    // Most runs ask for no hardware at all; the datapaths are built only when asked.
    if (!request.signed_file && !request.unsigned_file && !request.stats)
        return true;
    const Datapath signed_datapath = datapath_of(run.design);
    const Datapath unsigned_datapath = datapath_of(run.unsigned_design);
    bool ok = true;
    if (request.signed_file)
        ok = write_file(signed_datapath, DesignStage::Signed, "verilog", *request.signed_file, err) && ok;
    if (request.unsigned_file)
        ok = write_file(unsigned_datapath, DesignStage::Unsigned, "verilog-before", *request.unsigned_file, err) &&
             ok;
    if (request.stats) {
        ok = print_stats(unsigned_datapath, DesignStage::Unsigned, run.embedding.figures.initial_area, err) && ok;
        ok = print_stats(signed_datapath, DesignStage::Signed, run.embedding.figures.area_phase2, err) && ok;
    }
    return ok;
}

}  // namespace velnor::cli
