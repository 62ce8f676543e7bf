# Inner build: Win32 parts as Winelib binaries, linked with the native engine.
set(CMAKE_CXX_STANDARD 17)
add_compile_definitions(WIN32_LEAN_AND_MEAN)

add_library(kelvra_engine_native STATIC IMPORTED GLOBAL)
set_target_properties(kelvra_engine_native PROPERTIES
  IMPORTED_LOCATION ${KELVRA_ENGINE_LIB}
  INTERFACE_INCLUDE_DIRECTORIES ${CMAKE_SOURCE_DIR}/engine)
target_link_libraries(kelvra_engine_native INTERFACE PkgConfig::FFMPEG PkgConfig::VORBISFILE)
if(KELVRA_MACDLL_LIB)
  # The engine reaches Monkey's Audio through the native MACDll library.
  get_filename_component(KELVRA_MACDLL_DIR ${KELVRA_MACDLL_LIB} DIRECTORY)
  target_link_libraries(kelvra_engine_native INTERFACE ${KELVRA_MACDLL_LIB} "-Wl,-rpath,${KELVRA_MACDLL_DIR}" dl)
endif()

# Compiles a resource script with wrc and adds the result to a target.
function(kelvra_add_resources target rc_file)
  get_filename_component(name ${rc_file} NAME_WE)
  set(res ${CMAKE_CURRENT_BINARY_DIR}/${name}.res)
  add_custom_command(OUTPUT ${res}
    COMMAND ${KELVRA_WRC} -I/usr/include/wine/wine/windows -I${CMAKE_CURRENT_SOURCE_DIR}
            -I${CMAKE_SOURCE_DIR} -o ${res} ${CMAKE_CURRENT_SOURCE_DIR}/${rc_file}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${rc_file} ${ARGN}
    COMMENT "wrc ${rc_file}")
  set_source_files_properties(${res} PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
  target_sources(${target} PRIVATE ${res})
endfunction()

foreach(dir wmf backends playback controls app shellext)
  if(EXISTS ${CMAKE_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${CMAKE_SOURCE_DIR}/${dir} ${CMAKE_BINARY_DIR}/${dir})
  endif()
endforeach()

# Winelib test and benchmark programs: tests/<area>/winelib/ and bench/<area>/winelib/ when present.
file(GLOB KELVRA_WINELIB_TESTS ${CMAKE_SOURCE_DIR}/tests/*/winelib/CMakeLists.txt
     ${CMAKE_SOURCE_DIR}/bench/*/winelib/CMakeLists.txt)
foreach(list_file ${KELVRA_WINELIB_TESTS})
  get_filename_component(dir ${list_file} DIRECTORY)
  file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${dir})
  add_subdirectory(${dir} ${CMAKE_BINARY_DIR}/${rel})
endforeach()
