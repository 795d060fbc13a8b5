# promo_window_description(<target> <RESOURCE_NAME> <description file> <picture folder>
#                          [DESIGN_SET_ONLY])
# Embeds a window description and every picture it names, in every set (the
# design picture and those drawn for the larger scales, ui/PictureSets.h),
# into <target>: the build puts the pictures into their stream form and
# generates a resource script (scripts/window_description.py). The
# description is RCDATA <RESOURCE_NAME> (upper case); a picture 'btn_buy.png'
# is RCDATA BTN_BUY_PNG, its 150 % set picture 'btn_buy@150.png' is
# BTN_BUY_150_PNG. DESIGN_SET_ONLY embeds the design pictures alone (test
# forms whose pictures come in one size).
# At run time: TForm::InitializeFromResource(L"<RESOURCE_NAME>", error).
find_package(Python3 REQUIRED COMPONENTS Interpreter)

function(promo_window_description target resource_name description picture_dir)
  cmake_parse_arguments(PARSE_ARGV 4 arg "DESIGN_SET_ONLY" "" "")
  set(sets "")
  set(options "")
  if(arg_DESIGN_SET_ONLY)
    set(options --design-set-only)
  else()
    # Must match kPictureSetPercents in ui/PictureSets.h.
    set(sets 125 150 200 300)
  endif()
  get_filename_component(description "${description}" ABSOLUTE)
  get_filename_component(picture_dir "${picture_dir}" ABSOLUTE)
  set(out_dir "${CMAKE_CURRENT_BINARY_DIR}/${target}_${resource_name}")
  set(rc_file "${out_dir}/${resource_name}.rc")
  # The pictures named now; a changed description re-runs the configure step.
  file(READ "${description}" text)
  string(REGEX MATCHALL "picture[ ]*\\([ ]*'[^']+'[ ]*\\)" refs "${text}")
  set(deps "${description}")
  foreach(ref IN LISTS refs)
    string(REGEX REPLACE ".*'([^']+)'.*" "\\1" name "${ref}")
    list(APPEND deps "${picture_dir}/${name}")
    string(REGEX MATCH "^(.+)(\\.[^./]+)$" has_ext "${name}")
    foreach(percent IN LISTS sets)
      if(has_ext)
        list(APPEND deps "${picture_dir}/${CMAKE_MATCH_1}@${percent}${CMAKE_MATCH_2}")
      else()
        list(APPEND deps "${picture_dir}/${name}@${percent}")
      endif()
    endforeach()
  endforeach()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${description}")
  add_custom_command(OUTPUT "${rc_file}"
    COMMAND Python3::Interpreter "${PROJECT_SOURCE_DIR}/scripts/window_description.py" ${options}
            "${description}" "${picture_dir}" "${out_dir}" "${resource_name}" "${rc_file}"
    DEPENDS ${deps} "${PROJECT_SOURCE_DIR}/scripts/window_description.py"
    COMMENT "Window description ${resource_name} with its pictures"
    VERBATIM)
  target_sources(${target} PRIVATE "${rc_file}")
endfunction()
