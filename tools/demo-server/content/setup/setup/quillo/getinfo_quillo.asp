// Install description of the demo companion program.
[FLAG]
setup
[FILE_LIST_BEGIN]
{{DIGEST:quillo.sh}} LOCAL_PATHquillo/quillo http://{{SETUP}}/setup/quillo/quillo.zip MAIN_EXE
gethtml LOCAL_PATHquillo/readme.txt http://{{SETUP}}/setup/quillo/readme.txt
[FILE_LIST_END]
[REG_PATH]
LOCAL_PATHquillo/
END_QORISOFT_INFO
