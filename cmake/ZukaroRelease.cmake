# The release is the newest entry of packaging/changelog: its version must be the project's,
# and its date (not the build's) dates the AppStream release and the manual page, so that
# the same sources always build the same files.
set(ZUKARO_CHANGELOG ${PROJECT_SOURCE_DIR}/packaging/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ZUKARO_CHANGELOG})
find_program(DPKG_PARSECHANGELOG dpkg-parsechangelog REQUIRED)

function(zukaro_changelog_field field out)
    execute_process(COMMAND ${DPKG_PARSECHANGELOG} -l ${ZUKARO_CHANGELOG} -S ${field}
                    OUTPUT_VARIABLE value OUTPUT_STRIP_TRAILING_WHITESPACE
                    COMMAND_ERROR_IS_FATAL ANY)
    set(${out} "${value}" PARENT_SCOPE)
endfunction()

zukaro_changelog_field(Version changelog_version)
if(NOT changelog_version STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "packaging/changelog: the newest entry is ${changelog_version}, "
                        "the project is ${PROJECT_VERSION}; add an entry for the release.")
endif()
zukaro_changelog_field(Timestamp ZUKARO_RELEASE_EPOCH)
# string(TIMESTAMP) formats SOURCE_DATE_EPOCH when it is set, instead of the current time.
set(saved_epoch "$ENV{SOURCE_DATE_EPOCH}")
set(ENV{SOURCE_DATE_EPOCH} ${ZUKARO_RELEASE_EPOCH})
string(TIMESTAMP ZUKARO_RELEASE_DATE "%Y-%m-%d" UTC)
set(ENV{SOURCE_DATE_EPOCH} "${saved_epoch}")
