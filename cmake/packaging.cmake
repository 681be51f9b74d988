# Installing the four programs and packing them for both platforms.
#
#   cmake --install BUILD --prefix DIR   programs in DIR/bin, the README and the
#                                        example model in DIR/share/doc/slipreport,
#                                        the figure in its docs/ folder
#   cpack -G DEB|TGZ (Linux), -G ZIP (the Windows build), run in BUILD or
#   given --config BUILD/CPackConfig.cmake
#
# The Windows zip is flat: the programs, the README and the example model side
# by side, so that the programs run on the example where the zip is unpacked.
include(GNUInstallDirs)

if(WIN32)
  set(SLIP_BIN_DIR .)
  set(SLIP_DOC_DIR .)
else()
  set(SLIP_BIN_DIR ${CMAKE_INSTALL_BINDIR})
  set(SLIP_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/slipreport)
endif()

foreach(program slipreport slipcheck slipmap slipsource slipdeform)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${SLIP_BIN_DIR})
  endif()
endforeach()
install(FILES README.md examples/rateA.dat DESTINATION ${SLIP_DOC_DIR})
# The figure keeps its place beside the README (docs/), so that the README's
# link to it works where the package puts them.
if(EXISTS ${CMAKE_SOURCE_DIR}/docs/rateA-out4.svg)
  install(FILES docs/rateA-out4.svg DESTINATION ${SLIP_DOC_DIR}/docs)
endif()

set(CPACK_PACKAGE_NAME slipreport)
set(CPACK_PACKAGE_VENDOR "slipreport developers")
set(CPACK_PACKAGE_CONTACT "slipreport developers <slipreport@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "finite-fault slip model report, model checker, figure and source (slipreport, slipcheck, slipmap, slipsource)")
set(CPACK_PACKAGE_DESCRIPTION
    "slipreport reads the slip-rate model rateA.dat of a finite-fault inversion and writes the report
rateA-out4.csv of total slip, rake, slip components, rupture time, distance and position of every
subfault; slipcheck says where a model file goes wrong, to the line and column; slipmap draws a
report as an SVG figure of the fault plane and the map view; slipsource gives the rupture as a seismic
source: seismic moment, magnitude and moment-rate function.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
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
