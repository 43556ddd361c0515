# What `cmake --install` lays out (GNU layout below the prefix):
#   bin/                         vantrelle, vantrelle-cli, vantrelle-boxsim
#   share/vantrelle/vntres.dll   the stock-image module (ResourceModule::Locate)
#   share/doc/vantrelle/         the user guide, the user's README, copyright
#   share/applications/          the menu entry
#   share/metainfo/              AppStream metainfo
#   share/mime/packages/         the project-file type (*.vnt)
#   share/icons/hicolor/         the icon, SVG and PNG sizes
#   share/man/man1/              the manual pages

set(desktop_dir ${PROJECT_SOURCE_DIR}/resources/desktop)
set(app_id org.vantrelle.Vantrelle)

install(TARGETS vantrelle vantrelle-cli vantrelle-boxsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/vntres.dll DESTINATION ${CMAKE_INSTALL_DATADIR}/vantrelle)
# The user's README (the repository's README.md is for developers) and the
# copyright file Debian policy asks for, uncompressed, in the documentation
# folder named like the package.
install(FILES ${PROJECT_SOURCE_DIR}/resources/help/guide.html ${PROJECT_SOURCE_DIR}/resources/package/README
              ${PROJECT_SOURCE_DIR}/resources/package/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vantrelle)

install(FILES ${desktop_dir}/${app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${desktop_dir}/${app_id}.metainfo.xml.in ${PROJECT_BINARY_DIR}/${app_id}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/${app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${desktop_dir}/vantrelle-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME vantrelle.xml)

install(FILES ${desktop_dir}/icons/vantrelle.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
  install(FILES ${desktop_dir}/icons/vantrelle-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME vantrelle.png)
endforeach()

# Manual pages, with the project's version filled in and compressed as the
# system's own are.
set(man_pages)
foreach(page vantrelle vantrelle-cli vantrelle-boxsim)
  set(page_in ${PROJECT_BINARY_DIR}/man/${page}.1)
  configure_file(${PROJECT_SOURCE_DIR}/resources/man/${page}.1 ${page_in} @ONLY)
  add_custom_command(OUTPUT ${page_in}.gz
    COMMAND gzip -9 -n -c ${page_in} > ${page_in}.gz
    DEPENDS ${page_in}
    COMMENT "Compressing the manual page ${page}.1")
  list(APPEND man_pages ${page_in}.gz)
endforeach()
add_custom_target(man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
