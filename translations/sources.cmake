# Which source folders each translation file covers (paths relative to the project).
set(KTAVRO_TS_ktavro_DIRS addon export dialogs options services appframework)
set(KTAVRO_TS_brindlex_DIRS host)
set(KTAVRO_TS_NAMES ktavro brindlex)
set(KTAVRO_TS_LANGUAGES zh_CN)
