# The executable's version record, kept in one place for the program itself
# (application name and version), its Windows VERSIONINFO resource and the
# Debian package. The version is the project's: "1.00".
set(ROTAMET_PRODUCT_NAME "Tachocalc")
set(ROTAMET_FILE_DESCRIPTION "Tempo per compiere una rotazione")
set(ROTAMET_COMMENTS "Quanti ms per una rotazione")
set(ROTAMET_VERSION "${PROJECT_VERSION}")
# VERSIONINFO wants four integers: 1.00 becomes 1,0,0,0.
math(EXPR ROTAMET_VERSION_MAJOR "${PROJECT_VERSION_MAJOR}")
math(EXPR ROTAMET_VERSION_MINOR "${PROJECT_VERSION_MINOR}")
