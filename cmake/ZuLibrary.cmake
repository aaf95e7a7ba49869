# zu_add_library(<name> [STATIC] [CORE <core name>] [ALIAS <Zu::name>] [MODULE <resource module>]
#                CORE_SOURCES <files...> [WIDGET_SOURCES <files...>] [BITMAPS <files...>]
#                [DEPS <libraries...>] [CORE_LIBS <targets...>] [WIDGET_LIBS <targets...>]
#                [PRIVATE_LIBS <targets...>])
#
# One library of the suite, built twice over from one set of objects:
# - the core <name>Core (or CORE), an object library of CORE_SOURCES that uses Qt Core only: what
#   zupim and the benchmarks link;
# - the library <name> itself (shared, or STATIC), the core's objects plus WIDGET_SOURCES, the
#   sources under the library's widgets/ folder that need Qt Gui or Widgets.
# DEPS names other libraries of the suite by their library names (ZuUtils, ZuPlatform): the core
# links their cores, the library links the libraries. CORE_LIBS go to both (Qt6::Core, libical),
# WIDGET_LIBS to the library only (Qt6::Widgets), PRIVATE_LIBS privately to both (SQLite).
# BITMAPS are the module's PNG files, `images/<resource id>.png` and their twice-as-large drawings
# `images/<resource id>@2x.png`, compiled into the library as the Qt resources
# ":/<module>/<resource id>" and ":/<module>/<resource id>@2x" (ZuLoadBitmap); MODULE is the
# module's name, by default the library's folder name.
# zu_link_cores links a program to the cores alone.
# Both carry the folder as a public include folder and a generated export header
# <name in lower case>_export.h (macro <NAME>_EXPORT) in the build folder.
include(GenerateExportHeader)

function(zu_add_library name)
  cmake_parse_arguments(ZL "STATIC" "CORE;ALIAS;MODULE"
    "CORE_SOURCES;WIDGET_SOURCES;BITMAPS;DEPS;CORE_LIBS;WIDGET_LIBS;PRIVATE_LIBS" ${ARGN})
  if(NOT ZL_CORE)
    set(ZL_CORE ${name}Core)
  endif()
  if(NOT ZL_MODULE)
    get_filename_component(ZL_MODULE ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  endif()
  set(core_deps)
  set(closure ${ZL_CORE})
  foreach(dep IN LISTS ZL_DEPS)
    get_target_property(dep_core ${dep} ZU_CORE)
    if(NOT dep_core)
      message(FATAL_ERROR "zu_add_library(${name}): ${dep} is not a library of the suite")
    endif()
    get_target_property(dep_closure ${dep} ZU_CORES)
    list(APPEND core_deps ${dep_core})
    list(APPEND closure ${dep_closure})
  endforeach()
  list(REMOVE_DUPLICATES closure)

  string(TOLOWER ${name} lower)
  string(TOUPPER ${name} upper)
  set(export_header ${CMAKE_CURRENT_BINARY_DIR}/${lower}_export.h)

  add_library(${ZL_CORE} OBJECT ${ZL_CORE_SOURCES})
  target_include_directories(${ZL_CORE} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR})
  target_compile_definitions(${ZL_CORE} PRIVATE ${name}_EXPORTS)
  target_link_libraries(${ZL_CORE} PUBLIC ${core_deps} ${ZL_CORE_LIBS} Qt6::Core PRIVATE ${ZL_PRIVATE_LIBS})

  if(ZL_STATIC)
    add_library(${name} STATIC $<TARGET_OBJECTS:${ZL_CORE}> ${ZL_WIDGET_SOURCES})
  else()
    add_library(${name} SHARED $<TARGET_OBJECTS:${ZL_CORE}> ${ZL_WIDGET_SOURCES})
  endif()
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR})
  target_link_libraries(${name} PUBLIC ${ZL_DEPS} ${ZL_CORE_LIBS} Qt6::Core ${ZL_WIDGET_LIBS}
    PRIVATE ${ZL_PRIVATE_LIBS})
  set_target_properties(${name} PROPERTIES ZU_CORE ${ZL_CORE} ZU_CORES "${closure}" DEFINE_SYMBOL ${name}_EXPORTS)
  generate_export_header(${name} BASE_NAME ${name} EXPORT_FILE_NAME ${export_header})
  if(ZL_ALIAS)
    add_library(${ZL_ALIAS} ALIAS ${name})
  endif()
  if(ZL_BITMAPS)
    zu_add_bitmaps(${name} ${ZL_MODULE} ${ZL_BITMAPS})
  endif()
endfunction()

# zu_add_bitmaps(<target> <module> <images/ID.png | images/ID@2x.png...>): the PNG files as the
# Qt resources ":/<module>/<ID>" and ":/<module>/<ID>@2x", compiled into the target.
function(zu_add_bitmaps target module)
  foreach(file IN LISTS ARGN)
    get_filename_component(id ${file} NAME_WE)
    if(NOT id MATCHES "^[0-9]+(@2x)?$")
      message(FATAL_ERROR "${file}: a bitmap is named by its resource id (images/174.png, images/174@2x.png)")
    endif()
    set_source_files_properties(${file} PROPERTIES QT_RESOURCE_ALIAS ${id})
  endforeach()
  qt_add_resources(${target} ${target}_bitmaps PREFIX /${module} FILES ${ARGN})
endfunction()

# zu_link_cores(<target> <libraries...>): links the cores of the libraries and of everything they
# depend on, so that a program built from cores alone (zupim) names only what it uses. An object
# library's objects reach only the target that links it directly, hence the whole list.
function(zu_link_cores target)
  set(cores)
  foreach(lib IN LISTS ARGN)
    get_target_property(lib_cores ${lib} ZU_CORES)
    list(APPEND cores ${lib_cores})
  endforeach()
  list(REMOVE_DUPLICATES cores)
  target_link_libraries(${target} PRIVATE ${cores})
endfunction()
