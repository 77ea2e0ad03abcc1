# The Debian package: CPack packs what the install() rules install.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VENDOR Quorvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Pathfinder concept networks of a class's quiz answers, compared with the standard")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "From a class's answers to a quiz, an item-concept table and concept labels,
Quorvane builds one concept distance matrix per student, reduces it to a
Pathfinder network and compares it with the standard network of the quiz
(Match, Miss and Over links; the PFC, GTD and PRX indices). The desktop
program (Traditional Chinese) shows the results, the class overview and
printable four-panel reports; quorvane-cli runs the same analyses headless.")
set(CPACK_PACKAGE_CONTACT "Quorvane maintainers <maintainers@quorvane.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Qt, ICU and igraph are found from the binaries; the faces the drawings and the
# windows ask for (kai for titles, Noto Sans CJK for text) are not linked, so named.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-arphic-ukai, fonts-noto-cjk")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_OUTPUT_FILE_PREFIX "${PROJECT_SOURCE_DIR}/dist")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
