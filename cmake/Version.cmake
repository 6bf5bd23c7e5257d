# The version block: "Key=Value" lines (UTF-8) in the ELF section ".hg_version" of an
# executable. It is added after linking, so a build can be rebranded later with
#   objcopy --update-section .hg_version=<file> <executable>
# without recompiling.
#
#   hg_embed_version(<target> [PRODUCT_NAME <text>] [COMPANY_NAME <text>] [COMMENTS <text>]
#                    [VERSION <major.minor>])
# Fields not given come from HG_PRODUCT_NAME, HG_COMPANY_NAME, HG_COMMENTS and the project's
# version.
if(NOT CMAKE_OBJCOPY)
  find_program(CMAKE_OBJCOPY objcopy REQUIRED)
endif()

function(hg_embed_version target)
  cmake_parse_arguments(V "" "PRODUCT_NAME;COMPANY_NAME;COMMENTS;VERSION" "" ${ARGN})
  foreach(field PRODUCT_NAME COMPANY_NAME COMMENTS)
    if(NOT DEFINED V_${field})
      set(V_${field} "${HG_${field}}")
    endif()
  endforeach()
  if(NOT DEFINED V_VERSION)
    set(V_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
  endif()

  set(block "${CMAKE_CURRENT_BINARY_DIR}/${target}.hg_version")
  set(content "ProductName=${V_PRODUCT_NAME}\nCompanyName=${V_COMPANY_NAME}\n")
  string(APPEND content "Comments=${V_COMMENTS}\nFileVersion=${V_VERSION}\n")
  # Rewritten only when it changes, so that an unchanged block does not relink the target.
  set(old_content "")
  if(EXISTS "${block}")
    file(READ "${block}" old_content)
  endif()
  if(NOT old_content STREQUAL content)
    file(WRITE "${block}" "${content}")
  endif()

  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --add-section .hg_version=${block}
            --set-section-flags .hg_version=noload,readonly $<TARGET_FILE:${target}>
    VERBATIM)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${block}")
endfunction()
