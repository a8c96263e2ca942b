# What `cmake --install` puts where, and the Debian package made from the same rules
# (tools/package). The preprocessor stand-ins are build tools and are never installed.

include(GNUInstallDirs)

install(TARGETS corvina corvina4 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_BINARY_DIR}/man/corvina.1 ${CMAKE_BINARY_DIR}/man/corvina4.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES README.md README.zh-TW.md README.zh-CN.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
file(GLOB latexmk_recipes ${CMAKE_SOURCE_DIR}/examples/latexmkrc*)
file(GLOB arara_rules ${CMAKE_SOURCE_DIR}/examples/arara/*.yaml)
install(FILES ${latexmk_recipes} DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
install(FILES ${arara_rules} DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples/arara)
install(DIRECTORY examples/editors DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples USE_SOURCE_PERMISSIONS)
# bash-completion loads a command's completion from a file named after the command. Its
# version 2 looks in share/bash-completion/completions under its own prefix (/usr on
# Debian, Homebrew's prefix on macOS); version 1 reads etc/bash_completion.d instead.
set(CORVINA_BASH_COMPLETION_DIR ${CMAKE_INSTALL_DATADIR}/bash-completion/completions CACHE STRING
    "Where the bash completion goes, relative to the prefix")
foreach(program corvina corvina4)
  install(FILES completion/corvina DESTINATION ${CORVINA_BASH_COMPLETION_DIR} RENAME ${program})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvina)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "the corvina authors <corvina@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Chinese stroke and zhuyin order for biblatex bibliographies")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Chinese stroke and zhuyin order for biblatex bibliographies\n"
    "corvina (Big5) and corvina4 (UTF-8) run in place of biber or bibtex: they rewrite\n"
    "the Chinese text of the databases as sort keys, run the real back end, turn the keys\n"
    "in the .bbl back into Chinese and restore the databases exactly as they were.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # corvina_VERSION_ARCH.deb
set(CPACK_DEBIAN_PACKAGE_SECTION tex)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A back end is needed: biber for biblatex's default, bibtex/bibtex8 and kpsewhich are in
# texlive-binaries.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "biber | texlive-binaries")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "biber, texlive-binaries, texlive-bibtex-extra")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "latexmk, texlive-xetex, texlive-lang-chinese, texlive-extra-utils")
set(CPACK_STRIP_FILES ON)
include(CPack)
