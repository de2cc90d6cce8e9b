# Icons of the Windows build, rendered from the SVG files at build time: the program's .ico for
# the executables' resources, and, where the Qt for Windows has no Qt SVG to draw the SVG icons,
# PNG sizes of every icon the window shows. The renderer runs on the build machine: a cross-build
# builds it with the build machine's Qt through ExternalProject.
set(KVADERON_ICON_FOLDER ${CMAKE_BINARY_DIR}/icons)
set(KVADERON_ICON_FILE ${KVADERON_ICON_FOLDER}/kvaderon.ico)

if(CMAKE_CROSSCOMPILING)
  include(ExternalProject)
  set(render_build ${CMAKE_BINARY_DIR}/render-icon)
  set(render_icon ${render_build}/kvaderon_render_icon)
  ExternalProject_Add(kvaderon_render_icon_host
    SOURCE_DIR ${PROJECT_SOURCE_DIR}/packaging/render-icon
    BINARY_DIR ${render_build}
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${render_icon}
    BUILD_ALWAYS ON)
  set(render_depends kvaderon_render_icon_host)
else()
  find_package(Qt6 6.4 REQUIRED COMPONENTS Gui Svg)
  add_executable(kvaderon_render_icon ${PROJECT_SOURCE_DIR}/packaging/RenderIcon.cpp)
  target_link_libraries(kvaderon_render_icon PRIVATE kvaderon_common Qt6::Gui Qt6::Svg)
  set(render_icon $<TARGET_FILE:kvaderon_render_icon>)
  set(render_depends kvaderon_render_icon)
endif()

set(svg_folder ${PROJECT_SOURCE_DIR}/resources/icons)
add_custom_command(OUTPUT ${KVADERON_ICON_FILE}
  COMMAND ${render_icon} --ico ${svg_folder}/kvaderon.svg ${KVADERON_ICON_FILE} 16 20 24 32 40 48 64 256
  DEPENDS ${render_depends} ${svg_folder}/kvaderon.svg
  COMMENT "Rendering kvaderon.ico")
add_custom_target(kvaderon_windows_icon DEPENDS ${KVADERON_ICON_FILE})

# The installer's pictures: the welcome and finish pages' (164 x 314) and the other pages' header
# (150 x 57), as NSIS wants them.
set(KVADERON_INSTALLER_WELCOME ${KVADERON_ICON_FOLDER}/installer-welcome.bmp)
set(KVADERON_INSTALLER_HEADER ${KVADERON_ICON_FOLDER}/installer-header.bmp)
add_custom_command(OUTPUT ${KVADERON_INSTALLER_WELCOME} ${KVADERON_INSTALLER_HEADER}
  COMMAND ${render_icon} --bmp ${svg_folder}/kvaderon.svg ${KVADERON_INSTALLER_WELCOME} 164x314
  COMMAND ${render_icon} --bmp ${svg_folder}/kvaderon.svg ${KVADERON_INSTALLER_HEADER} 150x57
  DEPENDS ${render_depends} ${svg_folder}/kvaderon.svg
  COMMENT "Rendering the installer's pictures")
add_custom_target(kvaderon_installer_pictures DEPENDS ${KVADERON_INSTALLER_WELCOME} ${KVADERON_INSTALLER_HEADER})

# Adds to ATarget the resource file kvaderon_icons.qrc of PNG sizes of every SVG icon, under
# :/icons/<name>/<size>.png, where the SVG icons cannot be drawn.
function(kvaderon_png_icon_resources ATarget)
  file(GLOB svg_files ${svg_folder}/*.svg)
  set(sizes 16 20 24 32 48 64)
  set(png_files)
  set(qrc_lines)
  foreach(svg IN LISTS svg_files)
    get_filename_component(name ${svg} NAME_WE)
    set(outputs)
    foreach(size IN LISTS sizes)
      set(png ${KVADERON_ICON_FOLDER}/${size}x${size}/apps/${name}.png)
      list(APPEND outputs ${png})
      string(APPEND qrc_lines "    <file alias=\"icons/${name}/${size}.png\">${png}</file>\n")
    endforeach()
    add_custom_command(OUTPUT ${outputs}
      COMMAND ${render_icon} ${svg} ${KVADERON_ICON_FOLDER} ${sizes}
      DEPENDS ${render_depends} ${svg}
      COMMENT "Rendering ${name}.svg as PNG")
    list(APPEND png_files ${outputs})
  endforeach()
  set(qrc ${KVADERON_ICON_FOLDER}/kvaderon_icons.qrc)
  file(CONFIGURE OUTPUT ${qrc} CONTENT "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/\">\n${qrc_lines}  </qresource>\n</RCC>\n")
  set_source_files_properties(${qrc} PROPERTIES OBJECT_DEPENDS "${png_files}")
  add_custom_target(kvaderon_png_icons DEPENDS ${png_files})
  add_dependencies(${ATarget} kvaderon_png_icons)
  target_sources(${ATarget} PRIVATE ${qrc})
endfunction()
