# Desktop integration of the korvana program: install rules for the desktop entry, the AppStream
# metainfo, the MIME types and the hicolor icons in dist/, and tests that check them.
#
# Included from the top CMakeLists.txt after enable_testing(). The same file also runs as a script
# (cmake -DKORVANA_DESKTOP_CHECK=<check> ... -P KorvanaDesktop.cmake) for the checks no external
# validator makes; see the functions below.

if(CMAKE_SCRIPT_MODE_FILE)
  cmake_minimum_required(VERSION 3.25)
endif()

set(KORVANA_APP_ID org.korvana.Korvana)
set(KORVANA_ICON_NAME korvana)
set(KORVANA_ICON_SIZES 48 128 256)

# Width, height and PNG colour type of a PNG file, read from its IHDR chunk.
function(korvana_png_header file out_width out_height out_colour_type)
  file(READ "${file}" head LIMIT 26 HEX)
  string(SUBSTRING "${head}" 0 16 signature)
  if(NOT signature STREQUAL "89504e470d0a1a0a")
    message(FATAL_ERROR "${file}: not a PNG file")
  endif()
  string(SUBSTRING "${head}" 32 8 width_hex)
  string(SUBSTRING "${head}" 40 8 height_hex)
  string(SUBSTRING "${head}" 50 2 type_hex)
  math(EXPR width "0x${width_hex}")
  math(EXPR height "0x${height_hex}")
  math(EXPR type "0x${type_hex}")
  set(${out_width} ${width} PARENT_SCOPE)
  set(${out_height} ${height} PARENT_SCOPE)
  set(${out_colour_type} ${type} PARENT_SCOPE)
endfunction()

# Fails unless every PNG in the list is size x size with an alpha channel (colour type 6, RGBA).
function(korvana_check_pngs size)
  foreach(png IN LISTS ARGN)
    korvana_png_header("${png}" width height type)
    if(NOT width EQUAL size OR NOT height EQUAL size OR NOT type EQUAL 6)
      message(SEND_ERROR "${png}: ${width}x${height}, colour type ${type}; "
                         "expected ${size}x${size} RGBA")
    endif()
  endforeach()
endfunction()

# The Qt resources: every file the .qrc names exists, every cursor and tool bar image is named
# in it, each drawing source has its converted image, and the images have their sizes.
function(korvana_check_resources source_dir)
  set(res "${source_dir}/src/gui/resources")
  file(READ "${res}/korvana.qrc" qrc)
  string(REGEX MATCHALL "<file>[^<]+</file>" entries "${qrc}")
  set(listed "")
  foreach(entry IN LISTS entries)
    string(REGEX REPLACE "</?file>" "" path "${entry}")
    list(APPEND listed "${path}")
    if(NOT EXISTS "${res}/${path}")
      message(SEND_ERROR "korvana.qrc names ${path}, which does not exist")
    endif()
  endforeach()
  foreach(kind cursors actions)
    file(GLOB images RELATIVE "${res}" "${res}/${kind}/*.png")
    foreach(image IN LISTS images)
      if(NOT image IN_LIST listed)
        message(SEND_ERROR "${image} is missing from korvana.qrc")
      endif()
    endforeach()
    file(GLOB sources "${res}/${kind}/src/*.svg")
    foreach(svg IN LISTS sources)
      get_filename_component(name "${svg}" NAME_WE)
      if(NOT EXISTS "${res}/${kind}/${name}.png")
        message(SEND_ERROR "${kind}/src/${name}.svg has no converted ${kind}/${name}.png")
      endif()
    endforeach()
  endforeach()
  foreach(cursor DRAW DELETE REJECT ZOOMIN ZOOMOUT PIPET MAND2JUL)
    if(NOT "cursors/${cursor}.png" IN_LIST listed)
      message(SEND_ERROR "cursor ${cursor} is missing from korvana.qrc")
    endif()
  endforeach()
  file(GLOB cursor_images "${res}/cursors/*.png")
  file(GLOB action_images "${res}/actions/*.png")
  korvana_check_pngs(32 ${cursor_images})
  korvana_check_pngs(24 ${action_images})
  korvana_check_pngs(256 "${res}/icons/korvana-256.png")
  foreach(size IN LISTS KORVANA_ICON_SIZES)
    korvana_check_pngs(${size} "${source_dir}/dist/icons/${KORVANA_ICON_NAME}-${size}.png")
  endforeach()
endfunction()

# What the validators cannot see: the desktop entry, the metainfo and the MIME package agree on
# the application id, the icon name and the document types.
function(korvana_check_consistency source_dir)
  set(dist "${source_dir}/dist")
  file(READ "${dist}/${KORVANA_APP_ID}.desktop" entry)
  file(READ "${dist}/${KORVANA_APP_ID}.metainfo.xml" metainfo)
  file(READ "${dist}/korvana-mime.xml" mime)
  if(NOT metainfo MATCHES "<id>${KORVANA_APP_ID}</id>")
    message(SEND_ERROR "metainfo id is not ${KORVANA_APP_ID}")
  endif()
  if(NOT metainfo MATCHES "<launchable type=\"desktop-id\">${KORVANA_APP_ID}.desktop</launchable>")
    message(SEND_ERROR "metainfo does not launch ${KORVANA_APP_ID}.desktop")
  endif()
  if(NOT entry MATCHES "\nIcon=${KORVANA_ICON_NAME}\n")
    message(SEND_ERROR "desktop entry icon is not ${KORVANA_ICON_NAME}")
  endif()
  if(NOT entry MATCHES "\nMimeType=([^\n]*)\n")
    message(SEND_ERROR "desktop entry has no MimeType")
  endif()
  string(REGEX MATCHALL "[^;]+" mime_types "${CMAKE_MATCH_1}")
  foreach(type IN LISTS mime_types)
    if(NOT mime MATCHES "<mime-type type=\"${type}\">")
      message(SEND_ERROR "desktop entry opens ${type}, which korvana-mime.xml does not define")
    endif()
    if(NOT metainfo MATCHES "<mediatype>${type}</mediatype>")
      message(SEND_ERROR "metainfo does not provide ${type}")
    endif()
  endforeach()
endfunction()

# Builds a MIME database from our package alone and checks each type got its glob and its parent.
function(korvana_check_mime source_dir work_dir update_mime_database)
  file(REMOVE_RECURSE "${work_dir}")
  file(MAKE_DIRECTORY "${work_dir}/packages")
  file(COPY_FILE "${source_dir}/dist/korvana-mime.xml" "${work_dir}/packages/${KORVANA_APP_ID}.xml")
  execute_process(COMMAND "${update_mime_database}" "${work_dir}"
                  RESULT_VARIABLE result ERROR_VARIABLE errors)
  # It always notes on stderr that the folder is not on the XDG search path; that note is harmless.
  if(NOT result EQUAL 0 OR errors MATCHES "[Ee]rror|[Ww]arning|[Uu]nknown|[Ii]nvalid")
    message(FATAL_ERROR "update-mime-database failed (${result}): ${errors}")
  endif()
  file(READ "${work_dir}/globs2" globs)
  file(READ "${work_dir}/subclasses" subclasses)
  foreach(pair fractal:kvf palette:cp1 project:orp)
    string(REPLACE ":" ";" pair "${pair}")
    list(GET pair 0 kind)
    list(GET pair 1 extension)
    set(type "application/x-korvana-${kind}")
    if(NOT globs MATCHES ":${type}:\\*\\.${extension}\n")
      message(SEND_ERROR "${type} does not get the glob *.${extension}")
    endif()
    if(NOT subclasses MATCHES "${type} application/xml\n")
      message(SEND_ERROR "${type} is not a sub-class of application/xml")
    endif()
  endforeach()
endfunction()

# Installs the desktop component into a fresh prefix and checks every file lands where the
# desktop looks for it.
function(korvana_check_install build_dir prefix)
  file(REMOVE_RECURSE "${prefix}")
  execute_process(COMMAND "${CMAKE_COMMAND}" --install "${build_dir}" --component korvana_desktop
                          --prefix "${prefix}"
                  RESULT_VARIABLE result OUTPUT_QUIET)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${result})")
  endif()
  set(expected
      "share/applications/${KORVANA_APP_ID}.desktop"
      "share/metainfo/${KORVANA_APP_ID}.metainfo.xml"
      "share/mime/packages/${KORVANA_APP_ID}.xml"
      "share/icons/hicolor/scalable/apps/${KORVANA_ICON_NAME}.svg")
  foreach(size IN LISTS KORVANA_ICON_SIZES)
    list(APPEND expected "share/icons/hicolor/${size}x${size}/apps/${KORVANA_ICON_NAME}.png")
  endforeach()
  foreach(path IN LISTS expected)
    if(NOT EXISTS "${prefix}/${path}")
      message(SEND_ERROR "not installed: ${path}")
    endif()
  endforeach()
  foreach(size IN LISTS KORVANA_ICON_SIZES)
    korvana_check_pngs(${size} "${prefix}/share/icons/hicolor/${size}x${size}/apps/${KORVANA_ICON_NAME}.png")
  endforeach()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
  get_filename_component(source_dir "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
  if(KORVANA_DESKTOP_CHECK STREQUAL "resources")
    korvana_check_resources("${source_dir}")
  elseif(KORVANA_DESKTOP_CHECK STREQUAL "consistency")
    korvana_check_consistency("${source_dir}")
  elseif(KORVANA_DESKTOP_CHECK STREQUAL "mime")
    korvana_check_mime("${source_dir}" "${WORK_DIR}" "${UPDATE_MIME_DATABASE}")
  elseif(KORVANA_DESKTOP_CHECK STREQUAL "install")
    korvana_check_install("${BUILD_DIR}" "${WORK_DIR}")
  else()
    message(FATAL_ERROR "unknown KORVANA_DESKTOP_CHECK '${KORVANA_DESKTOP_CHECK}'")
  endif()
  return()
endif()

include(GNUInstallDirs)
set(korvana_dist "${CMAKE_CURRENT_LIST_DIR}/../dist")
set(korvana_hicolor "${CMAKE_INSTALL_DATADIR}/icons/hicolor")

install(FILES "${korvana_dist}/${KORVANA_APP_ID}.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications" COMPONENT korvana_desktop)
install(FILES "${korvana_dist}/${KORVANA_APP_ID}.metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo" COMPONENT korvana_desktop)
install(FILES "${korvana_dist}/korvana-mime.xml" RENAME "${KORVANA_APP_ID}.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/mime/packages" COMPONENT korvana_desktop)
install(FILES "${korvana_dist}/icons/${KORVANA_ICON_NAME}.svg"
        DESTINATION "${korvana_hicolor}/scalable/apps" COMPONENT korvana_desktop)
foreach(size IN LISTS KORVANA_ICON_SIZES)
  install(FILES "${korvana_dist}/icons/${KORVANA_ICON_NAME}-${size}.png"
          RENAME "${KORVANA_ICON_NAME}.png"
          DESTINATION "${korvana_hicolor}/${size}x${size}/apps" COMPONENT korvana_desktop)
endforeach()

if(KORVANA_BUILD_TESTS)
  set(korvana_desktop_script "${CMAKE_CURRENT_LIST_FILE}")
  set(korvana_desktop_work "${CMAKE_BINARY_DIR}/desktop-check")

  add_test(NAME DesktopResources
           COMMAND "${CMAKE_COMMAND}" -DKORVANA_DESKTOP_CHECK=resources -P "${korvana_desktop_script}")
  add_test(NAME DesktopConsistency
           COMMAND "${CMAKE_COMMAND}" -DKORVANA_DESKTOP_CHECK=consistency -P "${korvana_desktop_script}")
  add_test(NAME DesktopInstall
           COMMAND "${CMAKE_COMMAND}" -DKORVANA_DESKTOP_CHECK=install -DBUILD_DIR=${CMAKE_BINARY_DIR}
                   -DWORK_DIR=${korvana_desktop_work}/install -P "${korvana_desktop_script}")

  find_program(KORVANA_DESKTOP_FILE_VALIDATE desktop-file-validate)
  if(KORVANA_DESKTOP_FILE_VALIDATE)
    add_test(NAME DesktopFileValidate
             COMMAND "${KORVANA_DESKTOP_FILE_VALIDATE}" "${korvana_dist}/${KORVANA_APP_ID}.desktop")
    # desktop-file-validate exits 0 on warnings; only its hints may pass.
    set_tests_properties(DesktopFileValidate PROPERTIES FAIL_REGULAR_EXPRESSION "error:|warning:")
  else()
    message(STATUS "desktop-file-validate not found (Debian: desktop-file-utils): "
                   "test DesktopFileValidate not added")
  endif()

  find_program(KORVANA_APPSTREAMCLI appstreamcli)
  if(KORVANA_APPSTREAMCLI)
    add_test(NAME AppStreamValidate
             COMMAND "${KORVANA_APPSTREAMCLI}" validate --no-net
                     "${korvana_dist}/${KORVANA_APP_ID}.metainfo.xml")
  else()
    message(STATUS "appstreamcli not found (Debian: appstream): test AppStreamValidate not added")
  endif()

  find_program(KORVANA_UPDATE_MIME_DATABASE update-mime-database)
  if(KORVANA_UPDATE_MIME_DATABASE)
    add_test(NAME DesktopMimeDatabase
             COMMAND "${CMAKE_COMMAND}" -DKORVANA_DESKTOP_CHECK=mime
                     -DUPDATE_MIME_DATABASE=${KORVANA_UPDATE_MIME_DATABASE}
                     -DWORK_DIR=${korvana_desktop_work}/mime -P "${korvana_desktop_script}")
  else()
    message(STATUS "update-mime-database not found (Debian: shared-mime-info): "
                   "test DesktopMimeDatabase not added")
  endif()
endif()
