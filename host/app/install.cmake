# Install rules of the host; included last, once every target they name exists.
# Installed, the executable finds its libraries and the add-on in ../lib, wherever the
# prefix is.
set(BRINDLEX_LIBRARIES brxplatform zda zdalite zdaliteweb lumoipc brxdocuments ktavro ktavro_export_module
  ktavro_tavrowindow)
set_target_properties(brindlex PROPERTIES INSTALL_RPATH "$ORIGIN/../lib")
set_target_properties(${BRINDLEX_LIBRARIES} kappessbuiltinjsapi PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS brindlex RUNTIME DESTINATION bin)
install(TARGETS ${BRINDLEX_LIBRARIES} LIBRARY DESTINATION lib)
install(TARGETS kappessbuiltinjsapi LIBRARY DESTINATION lib)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/resources/brindlex.desktop DESTINATION share/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/resources/brindlex.svg DESTINATION share/icons/hicolor/scalable/apps)
# Translations: the add-on's beside the add-on, the host's beside the executable.
install(DIRECTORY ${CMAKE_BINARY_DIR}/addon/mui DESTINATION lib)
install(DIRECTORY ${CMAKE_BINARY_DIR}/host/app/mui DESTINATION bin)
