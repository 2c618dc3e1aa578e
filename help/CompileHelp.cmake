# Compiles the manual: cmake -DCHMCMD=... -DPROJECT_FILE=... -DWORK_DIR=... -DOUTPUT=... -P
# The help compiler only warns about a link to a file that does not exist; such a manual is
# refused here, so that every link and picture of the built file works.
file(MAKE_DIRECTORY ${WORK_DIR})
get_filename_component(compiled_name ${OUTPUT} NAME)
file(REMOVE ${WORK_DIR}/${compiled_name})
execute_process(
    COMMAND ${CHMCMD} ${PROJECT_FILE}
    WORKING_DIRECTORY ${WORK_DIR}
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "The help compiler failed (${result}):\n${output}")
endif()
if(output MATCHES "Warning:")
    message(FATAL_ERROR "The manual has broken links or files:\n${output}")
endif()
file(RENAME ${WORK_DIR}/${compiled_name} ${OUTPUT})
