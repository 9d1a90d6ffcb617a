# The program's translations: resources/translations/tallyglass_<language>.ts, compiled by lrelease
# into translations/tallyglass_<language>.qm among the program's resources (beside the program in
# the build tree, share/tallyglass/translations once installed), where CTranslations looks.
#
# `cmake --build build --target update_translations` brings the .ts files up to date with the
# sources (lupdate): new texts come in unfinished, texts gone from the sources go.

set(TALLYGLASS_TS_FILES ${PROJECT_SOURCE_DIR}/resources/translations/tallyglass_de.ts)

file(GLOB_RECURSE TALLYGLASS_TRANSLATED_SOURCES CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/src/*.cpp ${PROJECT_SOURCE_DIR}/src/*.h
     ${PROJECT_SOURCE_DIR}/resources/ui/*.ui)
# Models mark their texts with macros of their own, being free of Qt (src/core/Translatable.h).
# No line numbers: an edit elsewhere in a file leaves the catalogue as it is.
set(TALLYGLASS_LUPDATE_OPTIONS
    -locations none -no-obsolete
    -tr-function-alias translate+=Translate,QT_TRANSLATE_NOOP+=TRANSLATABLE,QT_TRANSLATE_N_NOOP+=TRANSLATABLE_N)

get_target_property(program_folder tallyglass RUNTIME_OUTPUT_DIRECTORY)
set_source_files_properties(${TALLYGLASS_TS_FILES} PROPERTIES
                            OUTPUT_LOCATION ${program_folder}/translations)
qt_add_translations(tallyglass
    TS_FILES ${TALLYGLASS_TS_FILES}
    SOURCES ${TALLYGLASS_TRANSLATED_SOURCES}
    INCLUDE_DIRECTORIES ${PROJECT_SOURCE_DIR}/src
    LUPDATE_OPTIONS ${TALLYGLASS_LUPDATE_OPTIONS}
    QM_FILES_OUTPUT_VARIABLE TALLYGLASS_QM_FILES)
install(FILES ${TALLYGLASS_QM_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/tallyglass/translations)

# The sources as lupdate reads them, for the test that checks the catalogues are complete: the
# include folder first, where lupdate finds the classes whose tr() it reads.
list(JOIN TALLYGLASS_TRANSLATED_SOURCES "\n" sources)
string(PREPEND sources "-I${PROJECT_SOURCE_DIR}/src\n")
set(TALLYGLASS_TRANSLATED_SOURCES_LIST ${CMAKE_BINARY_DIR}/translations/sources.lst)
file(GENERATE OUTPUT ${TALLYGLASS_TRANSLATED_SOURCES_LIST} CONTENT "${sources}\n")
