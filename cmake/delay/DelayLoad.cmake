# Delay-loaded system libraries. A static import loads its DLL at every start,
# 25 to 80 ms each under Wine, while the launcher needs the window manager,
# GDI, the shell, COM and the registry only in some launches. kanne therefore
# links import libraries that dlltool --output-delaylib builds from the .def
# files beside this file: the first call of a listed function loads its DLL.
# The .def files carry the i686 stdcall decorations (Name@bytes); for x86_64
# they are dropped. A function missing from them would be imported from the
# ordinary import library; finish-delay-imports.py then fails the build.
set(KANNE_DELAY_DIR ${CMAKE_CURRENT_LIST_DIR})

function(kanne_delay_load target)
    find_program(KANNE_DLLTOOL NAMES ${KANNE_TRIPLET}-dlltool dlltool REQUIRED)
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    set(out ${CMAKE_CURRENT_BINARY_DIR}/delay)
    set(libraries)
    foreach(dll IN LISTS ARGN)
        set(def ${KANNE_DELAY_DIR}/${dll}.def)
        set(library ${out}/lib${dll}_delay.a)
        if(CMAKE_SIZEOF_VOID_P EQUAL 8)
            file(READ ${def} text)
            string(REGEX REPLACE "@[0-9]+" "" text "${text}")
            file(CONFIGURE OUTPUT ${out}/${dll}.def CONTENT "${text}" @ONLY)
            set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def})
            set(input ${out}/${dll}.def)
            set(killAt)
        else()
            set(input ${def})
            set(killAt --kill-at) # import by the plain name, as the DLL exports it
        endif()
        add_custom_command(OUTPUT ${library}
            COMMAND ${KANNE_DLLTOOL} ${killAt} --input-def ${input} --output-delaylib ${library} --dllname ${dll}.dll
            DEPENDS ${input}
            COMMENT "Building the delay-import library for ${dll}.dll")
        list(APPEND libraries ${library})
    endforeach()
    add_custom_target(${target}_delay_libraries DEPENDS ${libraries})
    add_dependencies(${target} ${target}_delay_libraries)
    target_link_libraries(${target} PRIVATE ${libraries})
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${libraries})

    target_sources(${target} PRIVATE ${KANNE_DELAY_DIR}/DelayImportEnd.cpp)
    set(underscore)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(underscore _)
    endif()
    set(map ${CMAKE_CURRENT_BINARY_DIR}/${target}.map)
    target_link_options(${target} PRIVATE "LINKER:--undefined=${underscore}delayImportEnd" "LINKER:-Map=${map}")
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND Python3::Interpreter ${KANNE_DELAY_DIR}/finish-delay-imports.py
                --exe $<TARGET_FILE:${target}> --map ${map} --allow KERNEL32.dll,msvcrt.dll
        VERBATIM)
endfunction()
