# What `make install` into a staging root and the Debian package hold, below /usr/lib/vst/:
#   pelko2.so          the module hosts scan for
#   pelko2/            its data folder (factory library, waves, presets, side files), read-only
#   pelko2/tools/      pelko-render, pelko-vfs and pelko-info
# Files the user changes never live there: a read-only install folder sends them to the user's
# own folders. A state file or temporary file left in the build's data folder is not shipped.
set(PELKO_VST_DIR lib/vst)

install(TARGETS pelko2 LIBRARY DESTINATION ${PELKO_VST_DIR} COMPONENT plugin)
install(DIRECTORY ${PELKO_INSTALL_FOLDER}/ DESTINATION ${PELKO_VST_DIR}/pelko2 COMPONENT plugin
  PATTERN "tmp.sav" EXCLUDE
  PATTERN "*.tmp-*" EXCLUDE
  PATTERN "*-journal" EXCLUDE)
install(TARGETS pelko-render pelko-vfs pelko-info pelko-shot RUNTIME DESTINATION ${PELKO_VST_DIR}/pelko2/tools COMPONENT plugin)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelko2)
set(CPACK_PACKAGE_VENDOR "Vantomo")
set(CPACK_PACKAGE_CONTACT "Vantomo <support@vantomo.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Polyphonic software synthesizer (Linux VST 2 instrument)")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# The libraries the module and the tools link are found by dpkg-shlibdeps; what they run or
# draw with is declared here: the dialog programs and the font the editor uses.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "zenity | kdialog, fonts-liberation2, xdg-utils")
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/package)
include(CPack)
