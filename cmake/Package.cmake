# `cpack -G DEB` in a build folder makes vocalia_<version>_<arch>.deb of what `cmake --install`
# puts under /usr. dpkg-shlibdeps finds the libraries the programs link; the GStreamer plugins,
# the MIDI soundfont and libzip, which they load at run time, are named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vocalia)
set(CPACK_PACKAGE_VENDOR Vocalia)
set(CPACK_PACKAGE_CONTACT "Vocalia maintainers <vocalia@vocalia.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "home karaoke player with scrolling lyrics")
set(CPACK_PACKAGE_DESCRIPTION
    "Vocalia plays music and karaoke videos with their LRC lyrics in time, plays the microphone
live through the speakers, records the singer and mixes the recording with the backing track
into a tagged MP3. Verslet makes LRC files while a song plays; vocalia-cli runs the player's
operations from the shell.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://vocalia.example.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Debian names a library's package after its file: libzip.so.4 is in libzip4.
string(REGEX REPLACE "^(lib.*)\\.so\\.([0-9]+)$" "\\1\\2" libzipPackage ${VOCALIA_LIBZIP_SONAME})
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "${libzipPackage}, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-plugins-bad, \
gstreamer1.0-plugins-ugly, gstreamer1.0-libav, gstreamer1.0-pulseaudio, fluid-soundfont-gm, \
fonts-wqy-microhei")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, pulseaudio | pipewire-pulse")
include(CPack)
