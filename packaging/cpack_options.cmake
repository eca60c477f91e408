# Read by cpack while it packs (after the build's own settings): a package installs the
# desktop entry, icons and metainfo into the system's data folder, not /usr/local/share.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(ENV{QUILLON_XDG_DATA_DIR} /usr/share)
endif()
