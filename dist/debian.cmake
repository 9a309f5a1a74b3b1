# The Debian package: `cpack -G DEB` in the build folder (tools/make_deb.sh
# does it from a clean tree). Games go under /usr/games and
# /usr/lib/games, their static data under /usr/share/games; the man page
# and changelog are compressed with gzip -9n, the dependencies come from
# dpkg-shlibdeps. Included from dist/CMakeLists.txt once the game target
# exists.
set(deb_maintainer "The Tessaloom developers <developers@tessaloom.net>")
set(deb_out ${CMAKE_CURRENT_BINARY_DIR}/deb)

tessaloom_layout(deb games lib/games/tessaloom share/games/tessaloom /usr/lib/games/tessaloom/ EXCLUDE_FROM_ALL)

# The changelog's date, in RFC 5322 form: the weekday by Sakamoto's method.
set(y ${TESSALOOM_RELEASE_YEAR})
set(m ${TESSALOOM_RELEASE_MONTH_NUMBER})
set(d ${TESSALOOM_RELEASE_DAY})
if(m LESS 3)
  math(EXPR y "${y} - 1")
endif()
set(month_offsets 0 3 2 5 0 3 5 1 4 6 2 4)
math(EXPR i "${m} - 1")
list(GET month_offsets ${i} offset)
math(EXPR weekday "(${y} + ${y} / 4 - ${y} / 100 + ${y} / 400 + ${offset} + ${d}) % 7")
set(weekdays Sun Mon Tue Wed Thu Fri Sat)
list(GET weekdays ${weekday} weekday_name)
string(SUBSTRING "${TESSALOOM_RELEASE_MONTH}" 0 3 month_abbr)
string(SUBSTRING "${TESSALOOM_RELEASE_DATE}" 8 2 day_2)
set(DEB_CHANGELOG_DATE "${weekday_name}, ${day_2} ${month_abbr} ${TESSALOOM_RELEASE_YEAR} 00:00:00 +0000")
set(DEB_MAINTAINER "${deb_maintainer}")
configure_file(debian/changelog.in ${deb_out}/changelog @ONLY)

# The copyright file in Debian's machine-readable form, made from LICENSE:
# its "Copyright (c) ..." line and the licence text after it.
set(license_file ${CMAKE_SOURCE_DIR}/LICENSE)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${license_file})
file(READ ${license_file} license)
if(NOT license MATCHES "^MIT License\n")
  message(FATAL_ERROR "LICENSE is no longer the MIT licence: update the licence name in dist/debian.cmake")
endif()
if(NOT license MATCHES "\nCopyright \\(c\\) ([^\n]+)\n(.*)$")
  message(FATAL_ERROR "LICENSE has no 'Copyright (c) ...' line")
endif()
set(DEB_COPYRIGHT "${CMAKE_MATCH_1}")
string(STRIP "${CMAKE_MATCH_2}" text)
string(REGEX REPLACE "\n\n+" "\n.\n" text "${text}")
string(REPLACE "\n" "\n " text "${text}")
set(DEB_LICENSE_TEXT " ${text}")
configure_file(debian/copyright.in ${deb_out}/copyright @ONLY)

add_custom_command(
  OUTPUT ${deb_out}/tessaloom.6.gz ${deb_out}/changelog.gz
  COMMAND gzip -9nkf tessaloom.6 changelog
  WORKING_DIRECTORY ${deb_out}
  DEPENDS ${deb_out}/tessaloom.6 ${deb_out}/changelog
  COMMENT "Compressing the Debian package's man page and changelog"
  VERBATIM)
add_custom_target(debian_docs ALL DEPENDS ${deb_out}/tessaloom.6.gz ${deb_out}/changelog.gz)

install(FILES ${deb_out}/tessaloom.6.gz DESTINATION share/man/man6
        COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${deb_out}/copyright ${deb_out}/changelog.gz DESTINATION share/doc/tessaloom
        COMPONENT deb EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessaloom)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Tessaloom developers")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL common deb)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
# Build folders of any type make the same package, without debugging data.
set(CPACK_STRIP_FILES ON)
# Folders are made rwxr-xr-x whatever the umask of the one who packs.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_NAME tessaloom)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${deb_maintainer}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The pictures and sounds are most of it and hardly compress: xz would take
# fifteen times as long as gzip to save 6 %.
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "falling-block puzzle with stones, bombs and chains")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Pairs of blocks fall into an eight by twelve well. Shift the pair, push it
down and turn it; three or more blocks of one colour in a straight line
clear, stones next to a clearing line go with it, and a landed bomb clears
every block of the colour it comes to rest on.

Clears that follow one another form chains that score more. The level rises
with the blocks you clear, and the five best scores are kept with
three-letter names.")
include(CPack)
