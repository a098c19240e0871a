# The release: `cmake --build --preset windows --target package` writes
# package/korvane-stats-<version>-win32.zip in the build folder, holding Stats.dll,
# korvane.exe, the README and the bundled sample (the native build gives the same for
# Linux). Programs are stripped; the plug-in keeps its exports and version resource.
install(TARGETS Stats korvane RUNTIME DESTINATION . LIBRARY DESTINATION .)
install(FILES README.md DESTINATION .)
install(FILES
  samples/README.md
  samples/korvane-2026-RK3AZ.adi
  samples/korvane-2026-RK3AZ.cbr
  samples/korvane-2026-RK3AZ.expected
  samples/korvane-2026-RK3AZ.refused
  DESTINATION samples)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME korvane-stats)
set(CPACK_PACKAGE_VENDOR korvane-stats)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "KORVANE contest statistics plug-in (Stats.dll) and korvane, its command-line host")
if(WIN32)
  set(CPACK_SYSTEM_NAME win32)
else()
  set(CPACK_SYSTEM_NAME linux-${CMAKE_SYSTEM_PROCESSOR})
endif()
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-${CPACK_SYSTEM_NAME})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
# Only the files above: no source package, no other generators.
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
