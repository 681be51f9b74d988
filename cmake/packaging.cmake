# Installing the programs and packing them for both platforms.
#
#   cmake --install BUILD --prefix DIR   programs in DIR/bin, their manual pages
#                                        in DIR/share/man/man1, the users' README,
#                                        LICENSE, copyright and the example model
#                                        in DIR/share/doc/slipreport, the figure
#                                        in its docs/ folder
#   cpack -G DEB|TGZ (Linux), -G ZIP (the Windows build), run in BUILD or
#   given --config BUILD/CPackConfig.cmake
#
# The Windows zip is flat: the programs, the README and the example model side
# by side, so that the programs run on the example where the zip is unpacked.
# It has no manual pages.
include(GNUInstallDirs)

if(WIN32)
  set(SLIP_BIN_DIR .)
  set(SLIP_DOC_DIR .)
else()
  set(SLIP_BIN_DIR ${CMAKE_INSTALL_BINDIR})
  set(SLIP_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/slipreport)
endif()

# Every program the packages hold: its name, the header declaring its option
# table and the table, from which its manual page is made. A new program is
# one more line here.
set(SLIP_PROGRAMS
  "slipreport cli/slipreport_page.h slip::cli::kSlipreportProgram"
  "slipcheck check/check_options.h slip::check::kProgram"
  "slipmap map/map_options.h slip::map::kProgram"
  "slipsource source/source_options.h slip::source::kProgram"
  "slipdeform deform/deform_options.h slip::deform::kProgram")

set(SLIP_PROGRAM_NAMES)
foreach(entry IN LISTS SLIP_PROGRAMS)
  string(REPLACE " " ";" entry "${entry}")
  list(GET entry 0 program)
  list(APPEND SLIP_PROGRAM_NAMES ${program})
endforeach()

# The manual pages are written at build time by a small program that links
# every table, so that a page and the program's --help come from one table.
# A cross build cannot run it, and the Windows zip has no use for the pages.
if(NOT CMAKE_CROSSCOMPILING AND NOT WIN32)
  set(man_dir ${CMAKE_BINARY_DIR}/man)
  set(man_includes "")
  set(man_tables "")
  set(man_pages "")
  foreach(entry IN LISTS SLIP_PROGRAMS)
    string(REPLACE " " ";" entry "${entry}")
    list(GET entry 0 program)
    list(GET entry 1 header)
    list(GET entry 2 table)
    string(APPEND man_includes "#include \"${header}\"\n")
    string(APPEND man_tables " &${table},")
    list(APPEND man_pages ${man_dir}/${program}.1)
  endforeach()
  file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/man_page_programs/man_page_programs.h
       CONTENT "// Written by cmake/packaging.cmake from SLIP_PROGRAMS.\n#pragma once\n${man_includes}#define SLIP_MAN_PROGRAMS${man_tables}\n")
  add_executable(man_pages_writer src/man_page_main.cpp)
  target_include_directories(man_pages_writer PRIVATE ${CMAKE_BINARY_DIR}/man_page_programs)
  # slipdeformcore holds slipdeform's table (and the threads it alone needs).
  target_link_libraries(man_pages_writer PRIVATE slipdeformcore)
  add_custom_command(OUTPUT ${man_pages}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${man_dir}
    COMMAND man_pages_writer ${man_dir}
    DEPENDS man_pages_writer
    COMMENT "Writing the manual pages")
  add_custom_target(man_pages ALL DEPENDS ${man_pages})
  install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

foreach(program IN LISTS SLIP_PROGRAM_NAMES)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${SLIP_BIN_DIR})
  endif()
endforeach()
# The users' README (the repository's, its developers' passages left out), the
# licence and, for Debian, the copyright file in its usual form.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/README.md
  COMMAND ${CMAKE_COMMAND} -DIN=${CMAKE_SOURCE_DIR}/README.md -DOUT=${CMAKE_BINARY_DIR}/README.md
          -P ${CMAKE_SOURCE_DIR}/cmake/user_readme.cmake
  DEPENDS README.md cmake/user_readme.cmake
  COMMENT "Writing the users' README")
add_custom_target(user_readme ALL DEPENDS ${CMAKE_BINARY_DIR}/README.md)
install(FILES ${CMAKE_BINARY_DIR}/README.md DESTINATION ${SLIP_DOC_DIR})
install(FILES LICENSE examples/rateA.dat DESTINATION ${SLIP_DOC_DIR})
if(NOT WIN32)
  install(FILES packaging/copyright DESTINATION ${SLIP_DOC_DIR})
endif()
# The figure keeps its place beside the README (docs/), so that the README's
# link to it works where the package puts them.
if(EXISTS ${CMAKE_SOURCE_DIR}/docs/rateA-out4.svg)
  install(FILES docs/rateA-out4.svg DESTINATION ${SLIP_DOC_DIR}/docs)
endif()

set(CPACK_PACKAGE_NAME slipreport)
set(CPACK_PACKAGE_VENDOR "the slipreport project")
# The maintainer: the project itself. The address is .invalid until the
# project has a public one.
set(CPACK_PACKAGE_CONTACT "slipreport project <maintainers@slipreport.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "finite-fault slip model report, model checker, figure and source")
set(CPACK_PACKAGE_DESCRIPTION
    "slipreport reads the slip-rate model rateA.dat of a finite-fault inversion and writes the report
rateA-out4.csv of total slip, rake, slip components, rupture time, distance and position of every
subfault; slipcheck says where a model file goes wrong, to the line and column; slipmap draws a
report as an SVG figure of the fault plane and the map view; slipsource gives the rupture as a seismic
source: seismic moment, magnitude and moment-rate function.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The programs carry their C++ runtime: what remains is the C library, and
# dpkg-shlibdeps (dpkg-dev) says which version of it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
else()
  set(CPACK_GENERATOR "DEB;TGZ")
endif()
include(CPack)
