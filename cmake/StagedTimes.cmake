# Run by CPack once the files are staged: gives every staged file and folder
# the time SOURCE_DATE_EPOCH names.
if(NOT IS_DIRECTORY "${CPACK_TEMPORARY_DIRECTORY}" OR NOT "$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[0-9]+$")
  message(FATAL_ERROR "no staging folder or SOURCE_DATE_EPOCH to set times by")
endif()
file(GLOB_RECURSE staged LIST_DIRECTORIES true "${CPACK_TEMPORARY_DIRECTORY}/*")
execute_process(COMMAND touch -h -d @$ENV{SOURCE_DATE_EPOCH} ${CPACK_TEMPORARY_DIRECTORY} ${staged}
  COMMAND_ERROR_IS_FATAL ANY)
