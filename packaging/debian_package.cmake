# `make package`: one Debian package of everything installed, for /usr, its
# library dependencies found by dpkg-shlibdeps from the linked binaries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velnor)
set(CPACK_PACKAGE_VENDOR "The velnor developers")
set(CPACK_PACKAGE_CONTACT "The velnor developers <dev@velnor.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

# The extended description, after the summary line that CPack puts first;
# paragraphs separated by an empty line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "During high-level synthesis of a DSP core, velnor hides a signature derived
from a secret stego key in the register allocation and the module binding of
the synthesized datapath. It reports what the signature costs in area,
latency and design cost, and the probability that an unsigned design carries
the same signature by chance.

The package holds the desktop window velnor and the batch tool velnor-cli.

SPDX-License-Identifier: Apache-2.0")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
# Tools velnor runs as child processes: yosys reads suspect Verilog (verify
# --verilog, the window's Verify a design…) and counts gates (--verilog-stats);
# clang compiles the C files of import --c and the window's Import DSP core….
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "yosys, clang")

include(CPack)
