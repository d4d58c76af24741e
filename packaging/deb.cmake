# The Debian packages: quorvel (the two programs, databases, icon, manual, unit) and
# quorvel-sim (the simulated machine and its boards). `cpack -G DEB` in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Quorvel II maintainers <quorvel@localhost>")
# Installs to absolute places (/etc, the icon's folder) must land in the staging root.
set(CPACK_SET_DESTDIR ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL quorvel sim)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_QUORVEL_PACKAGE_NAME quorvel)
set(CPACK_DEBIAN_SIM_PACKAGE_NAME quorvel-sim)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_QUORVEL_DESCRIPTION
  "hardware-health monitor for server motherboards\nReads fans, voltages, temperatures and switch items from the board's monitor chips, through I/O ports, the host SMBus or the BMC: a window, a text report, and quorvel-export for fleet monitoring.")
set(CPACK_DEBIAN_SIM_DESCRIPTION
  "Quorvel II on a simulated machine\nThe program on a virtual board, with a sandbox standing for its files, for trying it out without the hardware.")
# The databases are the administrator's to edit: dpkg keeps local changes.
set(deb_conffiles "")
foreach(db ${database_files})
  get_filename_component(name ${db} NAME)
  string(APPEND deb_conffiles "/etc/${name}\n")
endforeach()
file(WRITE ${PROJECT_BINARY_DIR}/deb/conffiles ${deb_conffiles})
set(CPACK_DEBIAN_QUORVEL_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/deb/conffiles)
include(CPack)
