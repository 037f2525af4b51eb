# msgreport_add_catalogue(<target> <catalogue> [NAMESPACE <ns>] [PREFIX <p>]
#                         [HEADER <name>])
#
# Makes the header for a program's catalogue file at build time, again
# whenever the file changes, and lets <target> include it as <name>
# (default: the namespace with "::" as "_", and ".h"). The header holds
# <ns>::kPairs and <ns>::kPairCount for MessageHandler, <ns>::key::KEY for
# each key, and <P>_REPORT_ERROR(handler, KEY, ...) and its _WARNING, _INFO
# and _DEBUG kin, which do not compile unless the arguments fit the key's
# text. <ns> defaults to "messages", <p> to <ns> in capitals with "::" as
# "_". The header needs C++17, which <target> is given. Headers that share
# a namespace or a prefix stop the compiler with an #error when one
# program includes both.
#
# msgcheck writes the header. A cross build runs it under
# CMAKE_CROSSCOMPILING_EMULATOR; without one, set MSGREPORT_MSGCHECK to a
# msgcheck built for the host.
function(msgreport_add_catalogue target catalogue)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "NAMESPACE;PREFIX;HEADER" "")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR
      "msgreport_add_catalogue: unexpected arguments: ${arg_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT TARGET ${target})
    message(FATAL_ERROR "msgreport_add_catalogue: no target named ${target}")
  endif()
  if(NOT arg_NAMESPACE)
    set(arg_NAMESPACE messages)
  endif()
  if(NOT arg_HEADER)
    string(REPLACE "::" "_" arg_HEADER "${arg_NAMESPACE}.h")
  endif()
  set(prefix_option "")
  if(arg_PREFIX)
    set(prefix_option --prefix ${arg_PREFIX})
  endif()
  cmake_path(ABSOLUTE_PATH catalogue BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})

  if(MSGREPORT_MSGCHECK)
    if(NOT EXISTS "${MSGREPORT_MSGCHECK}")
      message(FATAL_ERROR "msgreport_add_catalogue: MSGREPORT_MSGCHECK names "
        "no file: ${MSGREPORT_MSGCHECK}")
    endif()
    set(generator "${MSGREPORT_MSGCHECK}")
    set(generator_file "${MSGREPORT_MSGCHECK}")
  else()
    get_target_property(tool msgreport::msgcheck ALIASED_TARGET)
    if(NOT tool)
      set(tool msgreport::msgcheck)
    endif()
    if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
      message(FATAL_ERROR
        "msgreport_add_catalogue: this cross build cannot run msgcheck to "
        "make ${arg_HEADER}: set CMAKE_CROSSCOMPILING_EMULATOR, or "
        "MSGREPORT_MSGCHECK to a msgcheck built for this machine")
    endif()
    set(generator ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${tool}>)
    set(generator_file ${tool})
  endif()

  set(directory ${CMAKE_CURRENT_BINARY_DIR}/msgreport_catalogues/${target})
  set(header ${directory}/${arg_HEADER})
  # Ninja makes an output's folder itself; the Makefile generators do not.
  file(MAKE_DIRECTORY ${directory})
  cmake_path(GET catalogue FILENAME catalogue_name)
  add_custom_command(OUTPUT ${header}
    COMMAND ${generator} header --namespace ${arg_NAMESPACE}
      ${prefix_option} ${catalogue} ${header}
    DEPENDS ${catalogue} ${generator_file}
    COMMENT "Generating ${arg_HEADER} from ${catalogue_name}"
    VERBATIM)
  target_sources(${target} PRIVATE ${header})
  target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${directory}>)
  target_compile_features(${target} PUBLIC cxx_std_17)
endfunction()
