# Cross-compiles small Windows programs (the launcher, test probes and stubs) with
# mingw-w64 as plain custom commands, so they build inside this project's own
# build without a second CMake project or toolchain file. The shipped launcher is
# 32-bit; the tests build their programs for both kinds of Windows.

include_guard(GLOBAL)

find_program(ZEKO_MINGW_CC i686-w64-mingw32-gcc)
find_program(ZEKO_MINGW_CXX i686-w64-mingw32-g++)
if(NOT ZEKO_MINGW_CC OR NOT ZEKO_MINGW_CXX)
  message(FATAL_ERROR
    "The 32-bit Windows programs need the mingw-w64 i686 cross compilers "
    "(i686-w64-mingw32-gcc and i686-w64-mingw32-g++), which were not found. "
    "On Debian: apt-get install gcc-mingw-w64-i686 g++-mingw-w64-i686 "
    "(or set ZEKO_MINGW_CC / ZEKO_MINGW_CXX to their paths).")
endif()
find_program(ZEKO_MINGW64_CC x86_64-w64-mingw32-gcc)
find_program(ZEKO_MINGW64_CXX x86_64-w64-mingw32-g++)
if(NOT ZEKO_MINGW64_CC OR NOT ZEKO_MINGW64_CXX)
  message(FATAL_ERROR
    "The 64-bit Windows test programs need the mingw-w64 x86_64 cross compilers "
    "(x86_64-w64-mingw32-gcc and x86_64-w64-mingw32-g++), which were not found. "
    "On Debian: apt-get install gcc-mingw-w64-x86-64 g++-mingw-w64-x86-64 "
    "(or set ZEKO_MINGW64_CC / ZEKO_MINGW64_CXX to their paths).")
endif()

# zeko_add_mingw_executable(NAME <target> OUTPUT <path/to/program.exe>
#                           SOURCES <files...>
#                           [ARCH i686|x86_64]
#                           [WINDOWS]
#                           [LIBS <win32 libs...>]
#                           [DEFINES <NAME or NAME=VALUE...>]
#                           [INCLUDES <dirs...>]
#                           [COMPILE_OPTIONS <flags...>]
#                           [LINK_OPTIONS <flags...>])
#
# Builds a statically linked Windows executable at OUTPUT, 32-bit (i686, the
# default) or 64-bit (x86_64), and an ALL target
# <target> that depends on it. C files go through gcc, C++ files through g++ with
# -std=c++20; the program links with g++ as soon as one C++ file is involved.
# WINDOWS selects the GUI subsystem (-mwindows), otherwise the console one.
# LIBS are names such as "user32" (passed as -luser32) or full paths to archives.
# Relative SOURCES and INCLUDES are taken from the calling CMakeLists.txt's folder.
# Header changes are tracked through compiler depfiles.
function(zeko_add_mingw_executable)
  cmake_parse_arguments(PARSE_ARGV 0 ARG
    "WINDOWS"
    "NAME;OUTPUT;ARCH"
    "SOURCES;LIBS;DEFINES;INCLUDES;COMPILE_OPTIONS;LINK_OPTIONS")

  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "zeko_add_mingw_executable: unexpected arguments: ${ARG_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT ARG_NAME)
    message(FATAL_ERROR "zeko_add_mingw_executable: NAME is required")
  endif()
  if(NOT ARG_OUTPUT)
    message(FATAL_ERROR "zeko_add_mingw_executable(${ARG_NAME}): OUTPUT is required")
  endif()
  if(NOT ARG_SOURCES)
    message(FATAL_ERROR "zeko_add_mingw_executable(${ARG_NAME}): SOURCES is required")
  endif()

  if(NOT ARG_ARCH OR ARG_ARCH STREQUAL "i686")
    set(cc "${ZEKO_MINGW_CC}")
    set(cxx "${ZEKO_MINGW_CXX}")
  elseif(ARG_ARCH STREQUAL "x86_64")
    set(cc "${ZEKO_MINGW64_CC}")
    set(cxx "${ZEKO_MINGW64_CXX}")
  else()
    message(FATAL_ERROR "zeko_add_mingw_executable(${ARG_NAME}): ARCH must be i686 or x86_64")
  endif()

  cmake_path(ABSOLUTE_PATH ARG_OUTPUT BASE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}" NORMALIZE
             OUTPUT_VARIABLE output)
  cmake_path(GET output PARENT_PATH output_dir)
  set(obj_dir "${CMAKE_CURRENT_BINARY_DIR}/${ARG_NAME}.mingw")
  file(MAKE_DIRECTORY "${obj_dir}" "${output_dir}")

  set(common_flags -O2 -Wall -Wextra)
  foreach(def IN LISTS ARG_DEFINES)
    list(APPEND common_flags "-D${def}")
  endforeach()
  foreach(inc IN LISTS ARG_INCLUDES)
    cmake_path(ABSOLUTE_PATH inc BASE_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}" NORMALIZE)
    list(APPEND common_flags "-I${inc}")
  endforeach()
  list(APPEND common_flags ${ARG_COMPILE_OPTIONS})

  set(objects "")
  set(has_cxx FALSE)
  set(index 0)
  foreach(src IN LISTS ARG_SOURCES)
    cmake_path(ABSOLUTE_PATH src BASE_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}" NORMALIZE)
    cmake_path(GET src FILENAME src_name)
    cmake_path(GET src EXTENSION LAST_ONLY src_ext)

    if(src_ext STREQUAL ".c")
      set(compiler "${cc}")
      set(lang_flags "")
    elseif(src_ext MATCHES "^\\.(cpp|cc|cxx|c\\+\\+|C)$")
      set(compiler "${cxx}")
      set(lang_flags -std=c++20)
      set(has_cxx TRUE)
    elseif(src_ext MATCHES "^\\.(h|hh|hpp|hxx)$")
      # Headers may be listed for IDEs; the depfiles already track them.
      continue()
    else()
      message(FATAL_ERROR "zeko_add_mingw_executable(${ARG_NAME}): unsupported source ${src}")
    endif()

    # The index keeps objects apart when two folders hold files of the same name.
    set(obj "${obj_dir}/${index}_${src_name}.obj")
    math(EXPR index "${index} + 1")
    add_custom_command(
      OUTPUT "${obj}"
      COMMAND "${compiler}" ${lang_flags} ${common_flags}
              -MD -MF "${obj}.d" -MT "${obj}"
              -c "${src}" -o "${obj}"
      DEPENDS "${src}"
      DEPFILE "${obj}.d"
      COMMENT "mingw: compiling ${src_name} for ${ARG_NAME}"
      VERBATIM)
    list(APPEND objects "${obj}")
  endforeach()

  if(has_cxx)
    set(linker "${cxx}")
    set(link_flags -static -static-libgcc -static-libstdc++)
  else()
    set(linker "${cc}")
    set(link_flags -static -static-libgcc)
  endif()
  if(ARG_WINDOWS)
    list(APPEND link_flags -mwindows)
  else()
    list(APPEND link_flags -mconsole)
  endif()
  list(APPEND link_flags ${ARG_LINK_OPTIONS})

  set(lib_flags "")
  foreach(lib IN LISTS ARG_LIBS)
    if(lib MATCHES "^-" OR IS_ABSOLUTE "${lib}")
      list(APPEND lib_flags "${lib}")
    else()
      list(APPEND lib_flags "-l${lib}")
    endif()
  endforeach()

  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${linker}" ${link_flags} ${objects} ${lib_flags} -o "${output}"
    DEPENDS ${objects}
    COMMENT "mingw: linking ${output}"
    VERBATIM)
  add_custom_target(${ARG_NAME} ALL DEPENDS "${output}")
  set_target_properties(${ARG_NAME} PROPERTIES ZEKO_MINGW_OUTPUT "${output}")
endfunction()
