# SPDX-License-Identifier: GPL-3.0-or-later
# `make deb`: a Debian package of the install, by CPack. Its library
# dependencies are found by dpkg-shlibdeps from the installed programs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumidot)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Lumidot developers <lumidot@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for the display of the KORG NS5R sound module")
set(CPACK_PACKAGE_DESCRIPTION
"Lumidot draws monochrome dot pictures, two message lines, the backlight
colour and the effects of a KORG NS5R sound module, and sends every change
to the module at once as MIDI System Exclusive. Each state can be recorded
as a step and exported as .syx, Standard MIDI File, Recomposer98 .prt or
Singer Song Writer 4 .exc, so that a sequencer animates the display.
The user interface is in Japanese and in English.")
# Stripped by our own script, as dh_strip would, rather than CPack's plain strip.
set(CPACK_STRIP_FILES OFF)
set(CPACK_LUMIDOT_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/StripPrograms.cmake)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Read or run at run time, not linked: Qt's Japanese texts, a Japanese font,
# and xdg-open for the About box's web and mail links.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-ipafont-gothic, fonts-ipafont-mincho, xdg-utils")
# A MIDI system to send through where the ALSA sequencer is missing, and a
# patchbay to connect the "Lumidot" port to the module.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "jackd2 | pipewire-jack, qpwgraph | qjackctl")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
