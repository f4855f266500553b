# The core's layers: one static library per folder, each linking only the layers below it.
# A library sees the headers of its own folder and of what it links, nothing else: its
# include root is a folder of symbolic links to just those source folders, so an include
# that points upward fails to build.
#
#   app            process entry
#   window         the desktop window (Qt Widgets; outside the core, see CMakeLists.txt)
#   console  terminal   the line-mode host and the full-screen terminal host
#   lineedit       the input line's logic shared by the hosts: editing, history, completion
#   modules        the one list of modules
#   */commands     each subsystem's commands and settings sections
#   engine         client state, interpreter, dispatch, options, settings files, Host, events
#   net  triggers  input  process  placement  definitions  display    models
#   lang           the command language's readers and writers
#   base           system helpers, text codec
#
# ZEL_SOURCE_ROOT is the source folder; ZEL_LAYER_ROOT holds the link folders.

set(ZEL_LAYER_ROOT ${CMAKE_BINARY_DIR}/layers)

# System libraries of the layers: character widths, the terminal's screen and its keys.
find_package(PkgConfig REQUIRED)
pkg_check_modules(UTF8PROC REQUIRED IMPORTED_TARGET libutf8proc)
pkg_check_modules(NCURSESW REQUIRED IMPORTED_TARGET ncursesw)
pkg_check_modules(TERMKEY REQUIRED IMPORTED_TARGET termkey)

# zel_layer(<name> <folder> [LINKS ...]): the library zel_<name><suffix> of the .cpp files
# directly in src/<folder>. Uses ZEL_SUFFIX and ZEL_LAYER_FLAGS of the caller.
function(zel_layer name folder)
    cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
    set(root ${ZEL_LAYER_ROOT}/${name})
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    if(NOT EXISTS ${root}/${folder})
        file(CREATE_LINK ${ZEL_SOURCE_ROOT}/src/${folder} ${root}/${folder} SYMBOLIC)
    endif()
    file(GLOB sources CONFIGURE_DEPENDS ${ZEL_SOURCE_ROOT}/src/${folder}/*.cpp)
    set(target zel_${name}${ZEL_SUFFIX})
    set(links)
    foreach(link IN LISTS ARG_LINKS)
        if(TARGET zel_${link}${ZEL_SUFFIX})
            list(APPEND links zel_${link}${ZEL_SUFFIX})
        else()
            list(APPEND links ${link})
        endif()
    endforeach()
    if(sources)
        add_library(${target} STATIC ${sources})
        target_include_directories(${target} PUBLIC ${root})
        target_link_libraries(${target} PUBLIC ${links})
        foreach(flag IN LISTS ZEL_LAYER_FLAGS)
            target_compile_options(${target} PUBLIC ${flag})
            target_link_options(${target} PUBLIC ${flag})
        endforeach()
    else()
        add_library(${target} INTERFACE)
        target_include_directories(${target} INTERFACE ${root})
        target_link_libraries(${target} INTERFACE ${links})
    endif()
endfunction()

# zel_core(<suffix> [flags...]): every layer, and zelcore<suffix> that gathers them.
function(zel_core suffix)
    set(ZEL_SUFFIX ${suffix})
    set(ZEL_LAYER_FLAGS ${ARGN})
    zel_layer(base base LINKS Threads::Threads PkgConfig::UTF8PROC)
    zel_layer(lang lang LINKS base)
    zel_layer(display display LINKS lang)
    zel_layer(definitions definitions LINKS lang)
    zel_layer(triggers triggers LINKS display definitions)
    zel_layer(input input LINKS lang)
    zel_layer(process process LINKS base)
    zel_layer(placement placement LINKS Qt6::Core)
    zel_layer(net net LINKS display)
    zel_layer(engine engine
        LINKS display definitions triggers input process placement net)
    zel_layer(definitions_commands definitions/commands LINKS engine)
    zel_layer(display_commands display/commands LINKS engine)
    zel_layer(input_commands input/commands LINKS engine)
    zel_layer(net_commands net/commands LINKS engine)
    zel_layer(triggers_commands triggers/commands LINKS engine)
    zel_layer(modules modules
        LINKS definitions_commands display_commands input_commands net_commands
              triggers_commands)
    zel_layer(lineedit lineedit LINKS engine)
    zel_layer(console console LINKS engine)
    zel_layer(terminal terminal LINKS lineedit console PkgConfig::NCURSESW PkgConfig::TERMKEY)
    add_library(zelcore${suffix} INTERFACE)
    target_link_libraries(zelcore${suffix} INTERFACE zel_modules${suffix} zel_console${suffix}
        zel_lineedit${suffix} zel_terminal${suffix})
endfunction()
