# Checks the include rules of the tree: which folder may include which, and
# that the core library includes no widget, chart or 3D header. Run by every
# build (the core library depends on it), so a forbidden include fails the
# build at once, with the file and line that breaks the rule.
#
#   cmake -DSOURCE_DIR=<top of the tree> -P CheckLayers.cmake
#
# The table below is the one in ARCHITECTURE.md; keep the two together.

cmake_minimum_required(VERSION 3.25)

# Core folders and what each may include (besides itself).
set(core_model    platform)
set(core_link     model platform)
set(core_daq      model link platform)
set(core_editors  model link platform)
set(core_analysis model link daq editors platform)
set(core_gauges   model daq editors platform)
set(core_view3d   model daq editors platform)
set(core_history  model link daq editors analysis platform)
set(core_platform "")
set(core_commands "")
set(core_folders model link daq editors analysis gauges view3d history platform commands)

# The windows of the features, lowest first: each may include the ones
# before it in this list, never one after it, so they cannot form a cycle.
set(ui_order platform/ui commands/ui link/ui editors/ui daq/ui analysis/ui gauges/ui view3d/ui history/ui)

set(problems "")

function(layer_of path out)
  # src/<folder>/... ; ui/ sub-folders are their own layer.
  string(REGEX MATCH "^src/([a-z0-9]+)(/ui)?/" m "${path}")
  if(NOT m)
    set(${out} "" PARENT_SCOPE)
    return()
  endif()
  set(folder ${CMAKE_MATCH_1})
  if(CMAKE_MATCH_2)
    set(${out} "${folder}/ui" PARENT_SCOPE)
  else()
    set(${out} "${folder}" PARENT_SCOPE)
  endif()
endfunction()

file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}"
  "${SOURCE_DIR}/src/*.h" "${SOURCE_DIR}/src/*.cpp"
  "${SOURCE_DIR}/tools/*.h" "${SOURCE_DIR}/tools/*.cpp")

foreach(path IN LISTS sources)
  if(path MATCHES "^tools/")
    set(layer tools)
  else()
    layer_of("${path}" layer)
  endif()
  if(NOT layer)
    continue()
  endif()
  file(STRINGS "${SOURCE_DIR}/${path}" lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS lines)
    set(core_layer FALSE)
    if(layer STREQUAL "tools" OR layer IN_LIST core_folders)
      set(core_layer TRUE)
    endif()
    # Widget, chart and 3D headers stay out of the core and the tools.
    if(core_layer AND line MATCHES "<Qt(Widgets|Gui|Charts|DataVisualization|OpenGL|OpenGLWidgets|Qml|Quick)/")
      string(APPEND problems "  ${path}: ${line} (a widget header in widget-free code)\n")
    endif()
    if(NOT line MATCHES "\"([a-z0-9]+)(/ui)?/")
      continue()
    endif()
    set(target ${CMAKE_MATCH_1})
    if(CMAKE_MATCH_2)
      set(target "${target}/ui")
    endif()
    if(target STREQUAL layer)
      continue()
    endif()
    set(allowed TRUE)
    if(core_layer)
      if(layer STREQUAL "tools")
        set(may ${core_folders})
      else()
        set(may ${core_${layer}})
      endif()
      if(NOT target IN_LIST may)
        set(allowed FALSE)
      endif()
    elseif(layer STREQUAL "shell")
      # The main window knows the core and the platform's widgets, never a
      # feature's windows (the features plug into it through its interface).
      if(NOT (target IN_LIST core_folders OR target STREQUAL "platform/ui"))
        set(allowed FALSE)
      endif()
    elseif(layer MATCHES "/ui$")
      # A feature's windows: the core, the windows of lower features, and
      # the main window's interface headers (never frmMain or the rest of
      # the shell, never app/).
      if(target STREQUAL "app")
        set(allowed FALSE)
      elseif(target STREQUAL "shell" AND NOT line MATCHES "shell/(MainWindow|Panels)\\.h\"")
        set(allowed FALSE)
      elseif(target MATCHES "/ui$")
        list(FIND ui_order "${layer}" mine)
        list(FIND ui_order "${target}" theirs)
        if(theirs LESS 0 OR theirs GREATER mine)
          set(allowed FALSE)
        endif()
      endif()
    endif()
    if(NOT allowed)
      string(APPEND problems "  ${path}: ${line} (${layer} may not include ${target})\n")
    endif()
  endforeach()
endforeach()

if(problems)
  message(FATAL_ERROR "Include rules broken (see ARCHITECTURE.md):\n${problems}")
endif()
