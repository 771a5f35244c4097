# What `cmake --install` puts under the prefix: the three programs in bin/, the command-line
# tool's media program in libexec/vocalia/, the player's shared data (help, demo song, the lyric
# editor as one of its Tools) in share/vocalia/, and the desktop's menu entry, icons and
# software-centre description.
include(GNUInstallDirs)

# Installing and packaging take what is built; they do not build the tests and benchmarks first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(VOCALIA_DATA_DIR ${CMAKE_INSTALL_DATADIR}/vocalia)
set(VOCALIA_DESKTOP_ID org.example.vocalia)
set(desktop ${PROJECT_SOURCE_DIR}/resources/desktop)

install(TARGETS Vocalia vocalia-cli Verslet RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS vocalia-cli-media RUNTIME DESTINATION ${VOCALIA_MEDIA_CLI_DIR})

install(FILES ${PROJECT_SOURCE_DIR}/resources/Help/index.html
    DESTINATION ${VOCALIA_DATA_DIR}/Help)
install(FILES ${VOCALIA_DEMO_DIR}/星光小调.mid ${VOCALIA_DEMO_DIR}/星光小调.lrc
    DESTINATION ${VOCALIA_DATA_DIR}/Demo)

# The player starts its Tools from share/vocalia/Tools/; the lyric editor lives in bin/ once,
# with a relative link there, so the prefix can move.
file(RELATIVE_PATH tools_to_bin /${VOCALIA_DATA_DIR}/Tools /${CMAKE_INSTALL_BINDIR})
install(CODE "
    set(tools \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${VOCALIA_DATA_DIR}/Tools\")
    file(MAKE_DIRECTORY \"\${tools}\")
    file(CREATE_LINK \"${tools_to_bin}/Verslet\" \"\${tools}/Verslet\" SYMBOLIC)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${tools}/Verslet\")
")

install(FILES ${desktop}/${VOCALIA_DESKTOP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${desktop}/${VOCALIA_DESKTOP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${desktop}/icons/vocalia.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${desktop}/icons/vocalia-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME vocalia.png)
endforeach()
