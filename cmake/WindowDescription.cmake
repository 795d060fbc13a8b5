# promo_window_description(<target> <RESOURCE_NAME> <description file> <picture folder>)
# Embeds a window description and every picture it names into <target>: the
# build puts the pictures into their stream form and generates a resource
# script (scripts/window_description.py). The description is RCDATA
# <RESOURCE_NAME> (upper case); a picture 'btn_buy.png' is RCDATA BTN_BUY_PNG.
# At run time: TForm::InitializeFromResource(L"<RESOURCE_NAME>", error).
find_package(Python3 REQUIRED COMPONENTS Interpreter)

function(promo_window_description target resource_name description picture_dir)
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
  endforeach()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${description}")
  add_custom_command(OUTPUT "${rc_file}"
    COMMAND Python3::Interpreter "${PROJECT_SOURCE_DIR}/scripts/window_description.py"
            "${description}" "${picture_dir}" "${out_dir}" "${resource_name}" "${rc_file}"
    DEPENDS ${deps} "${PROJECT_SOURCE_DIR}/scripts/window_description.py"
    COMMENT "Window description ${resource_name} with its pictures"
    VERBATIM)
  target_sources(${target} PRIVATE "${rc_file}")
endfunction()
