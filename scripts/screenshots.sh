#!/usr/bin/env bash
# Takes the screenshots of the window and the Explore dialog in docs/ under a virtual display
# (Debian's xvfb and imagemagick). Run from the repository after building.
set -euo pipefail
shot=${1:-build/tests/app/velnor_screenshot}
take() {
  xvfb-run -a -s "-screen 0 1600x1000x24" "$shot" "$@"
}
take dfg/fir.txt 2 2 - - 2 "1 5" 10 "80 64 32 16" 40 schedule docs/datapath-fir-schedule.png
take dfg/fir.txt 2 2 - - 2 "1 5" 10 "80 64 32 16" 40 registers docs/datapath-fir-registers.png
take dfg/arf.txt 2 2 - - 2 "8 9" 01 "80 80 80 80" 100 registers docs/datapath-arf-registers.png
take characterization/gen_247.txt 2 2 4 2 2 "3 1" 10 "80 70 60 50" 450 schedule docs/datapath-gen247-schedule.png
take characterization/gen_247.txt 2 2 4 2 2 "3 1" 10 "80 70 60 50" 450 registers docs/datapath-gen247-registers.png
take dfg/arf.txt 2 2 - - 2 "1 5" 10 "80 64 32 16" 512 registers docs/datapath-arf-strong-registers.png strong
# The README's first picture: File > Open example, the demo's values typed in, three views.
xvfb-run -a -s "-screen 0 1600x1000x24" "$shot" example docs/window.png
take characterization/gen_895.txt 4 4 - - 1 7 "" "80 80" 512 console docs/console-gen895-registers.png
take characterization/gen_247.txt 2 2 4 2 2 "3 1" 10 "80 70 60 50" 450 verify docs/verify-gen247-strong.png strong
take explore characterization/gen_247.txt docs/explore-247.png
