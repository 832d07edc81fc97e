# The package for Windows: userwarden-win64.zip or userwarden-win32.zip in the
# build folder, holding a folder of the same name with the stripped programs,
# the component and crash-dump monitor DLLs and the text on installing them.
# scripts/package copies it to dist/.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(UW_FLAVOUR win64)
else()
  set(UW_FLAVOUR win32)
endif()
set(UW_PACKAGE_NAME userwarden-${UW_FLAVOUR})
set(UW_PACKAGE_ZIP ${CMAKE_BINARY_DIR}/${UW_PACKAGE_NAME}.zip)
set(stage ${CMAKE_BINARY_DIR}/package)
# The folder in the zip, with the binaries as they ship (the tests read them).
set(UW_PACKAGE_STAGE ${stage}/${UW_PACKAGE_NAME})
# The text on installing, with the build's version, in Windows line ends
# (Notepad before Windows 10 shows nothing else as lines).
set(readme ${CMAKE_BINARY_DIR}/README.txt)
configure_file(${CMAKE_SOURCE_DIR}/scripts/windows-readme.txt ${readme} @ONLY NEWLINE_STYLE CRLF)

set(strip_commands)
foreach(target userwarden userlistctl vmrdetect qdump)
  list(APPEND strip_commands COMMAND ${CMAKE_STRIP} --strip-all -o
       ${UW_PACKAGE_STAGE}/$<TARGET_FILE_NAME:${target}> $<TARGET_FILE:${target}>)
endforeach()

add_custom_command(OUTPUT ${UW_PACKAGE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${UW_PACKAGE_STAGE}
  ${strip_commands}
  COMMAND ${CMAKE_COMMAND} -E copy ${readme} ${UW_PACKAGE_STAGE}/README.txt
  COMMAND ${CMAKE_COMMAND} -E rm -f ${UW_PACKAGE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E chdir ${stage} ${CMAKE_COMMAND} -E tar cf ${UW_PACKAGE_ZIP}
          --format=zip --mtime=2026-01-01 ${UW_PACKAGE_NAME}
  DEPENDS userwarden userlistctl vmrdetect qdump ${readme}
  COMMENT "Packaging ${UW_PACKAGE_NAME}.zip")
add_custom_target(package_zip ALL DEPENDS ${UW_PACKAGE_ZIP})

# The Windows Installer package beside the zip, made from the same folder by
# scripts/msi (wixl and msibuild; set-up installs them).
set(UW_PACKAGE_MSI ${CMAKE_BINARY_DIR}/${UW_PACKAGE_NAME}.msi)
add_custom_command(OUTPUT ${UW_PACKAGE_MSI}
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/msi ${CMAKE_SYSTEM_PROCESSOR} ${stage} ${PROJECT_VERSION}
          ${UW_PACKAGE_MSI}
  DEPENDS ${UW_PACKAGE_ZIP} ${CMAKE_SOURCE_DIR}/scripts/msi ${CMAKE_SOURCE_DIR}/res/images/program.ico
          ${CMAKE_SOURCE_DIR}/scripts/installer/userwarden.wxs
          ${CMAKE_SOURCE_DIR}/scripts/installer/searches.sql
  COMMENT "Packaging ${UW_PACKAGE_NAME}.msi")
add_custom_target(package_msi ALL DEPENDS ${UW_PACKAGE_MSI})
# The zip's rule makes the folder afresh: it runs first.
add_dependencies(package_msi package_zip)
