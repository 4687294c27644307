#pragma once

// The window ids of the recorder's controls. Every control with a name (its tooltip in the
// language file, its chords in the hot-key script) is listed once below as (id, name), and its
// enumerator is that name, so that the code, the language files and the scripts spell a control
// alike. ControlNames builds its table from the same list: a name's id is 1000 + its position
// there. The controls that have no name follow, with ids of their own.
//
// Thread contract: constants, any thread.

// clang-format off
#define ORVEL_NAMED_CONTROLS(X) \
    X(1000, BTN_RECORD) \
    X(1001, EDIT_TAPE) \
    X(1003, BTN_PAUSE) \
    X(1004, BTN_STOP) \
    X(1005, BTN_EJECT) \
    X(1006, BTN_PLAY) \
    X(1007, BTN_HELP) \
    X(1008, BTN_DETECT) \
    X(1010, BTN_RESET) \
    X(1011, BTN_INC) \
    X(1012, BTN_DEC) \
    X(1013, BTN_SYSMIN) \
    X(1014, BTN_SYSCLOSE) \
    X(1015, BTN_TIMEINC) \
    X(1016, BTN_TIMEDEC) \
    X(1017, BTN_TIMERESET) \
    X(1018, EDIT_TIME) \
    X(1019, SLIDER_THRESHOLD) \
    X(1020, BTN_AUTODETECT) \
    X(1021, BTN_CLOSEAUDIOBOX) \
    X(1022, BTN_LINESOCKET0) \
    X(1023, BTN_LINESOCKET1) \
    X(1024, BTN_LINESOCKET2) \
    X(1025, BTN_LINESOCKET3) \
    X(1026, BTN_LINESOCKET4) \
    X(1027, BTN_LINESOCKET5) \
    X(1028, BTN_LINESOCKET6) \
    X(1029, BTN_LINESOCKET7) \
    X(1030, BTN_LINESOCKET8) \
    X(1031, BTN_LINESOCKET9) \
    X(1032, BTN_OK) \
    X(1033, BTN_CANCEL) \
    X(1034, BTN_HELPBOOK) \
    X(1036, BTN_HOME) \
    X(1038, BTN_MULTIFILE) \
    X(1039, BTN_EXIT) \
    X(1040, BTN_CONTINUE) \
    X(1041, BTN_STARTHELP) \
    X(1044, COMBO_MP3BITRATE) \
    X(1045, COMBO_MP3MODE) \
    X(1046, BTN_MUSICSET) \
    X(1047, BTN_SIGNALSET) \
    X(1048, BTN_CLOCKSET) \
    X(1049, BTN_MP3FILE) \
    X(1050, BTN_SIGNALFILE) \
    X(1051, BTN_CLOCKFILE) \
    X(1052, COMBO_SIGNALTYPE) \
    X(1053, DATETIMEPICKER_START) \
    X(1054, DATETIMEPICKER_END) \
    X(1055, LIST_TIME) \
    X(1056, BTN_SYSHELP) \
    X(1057, BTN_DEFAULT) \
    X(1058, BTN_DELETE) \
    X(1059, BTN_ADDTIME) \
    X(1060, BTN_STEREO) \
    X(1061, BTN_MONO) \
    X(1062, BTN_16BIT) \
    X(1063, BTN_8BIT) \
    X(1065, SPIN_NEWFILEDELAY) \
    X(1066, EDIT_NEWFILEDELAY) \
    X(1067, BTN_RECORDINGCTRL) \
    X(1068, BTN_SHOWSWITCH) \
    X(1069, COMBO_LANGUAGE) \
    X(1070, MONTHCALENDAR1) \
    X(1072, BUTTON_CLEAR) \
    X(1073, BTN_TIMESTAMPEDFILE) \
    X(1082, RADIO_ABSOLUTE) \
    X(1083, RADIO_RELATIVE) \
    X(1094, BTN_SYSTRAY) \
    X(1095, COMBO_MIXER) \
    X(1096, LIST_INPUTS) \
    X(1097, LIST_INPUTPINS) \
    X(1098, LIST_AUDIODEVICE) \
    X(1099, LIST_AUDIOLINE) \
    X(1101, LIST_SCHEDULE) \
    X(1102, BTN_ADD) \
    X(1103, BTN_CHANGE) \
    X(1104, BTN_ABSOLUTE) \
    X(1105, BTN_RELATIVE) \
    X(1106, EDIT_STARTHOUR) \
    X(1107, EDIT_STARTMINUTE) \
    X(1108, EDIT_STARTSECOND) \
    X(1109, EDIT_ENDHOUR) \
    X(1110, EDIT_ENDMINUTE) \
    X(1111, EDIT_ENDSECOND) \
    X(1112, BTN_ONTHEDAY) \
    X(1113, BTN_AUDIT) \
    X(1114, BTN_NOISEGATE) \
    X(1115, BTN_LOWPASS) \
    X(1116, BTN_HIGHPASS) \
    X(1117, BTN_WAV) \
    X(1118, BTN_NOISESETTING) \
    X(1119, BTN_EFFECTSETTING) \
    X(1120, BTN_EFFECTAPPLY) \
    X(1121, BTN_DEVICE) \
    X(1122, BTN_NEWFILE) \
    X(1123, BTN_TRACKSPLITTERPAUSE) \
    X(1124, BTN_TRACKSPLITTERSTOP) \
    X(1125, EDIT_THRESHOLD) \
    X(1126, EDIT_DELAY) \
    X(1127, EDIT2) \
    X(1128, EDIT_RELEASETIME) \
    X(1129, EDIT_ATTACKTIME) \
    X(1130, EDIT_LOWPASS) \
    X(1131, EDIT_HIGHPASS) \
    X(1132, EDIT_FILENAME) \
    X(1133, BTN_MULTIFILE_OUTPUT) \
    X(1134, BTN_TIMESTAMPLE_OUTPUT) \
    X(1135, BTN_ALERT_OUTPUT) \
    X(1136, BTN_BROWSE) \
    X(1137, BTN_ARCHIVE) \
    X(1138, BTN_ARCHIVECLOSE) \
    X(1139, BTN_EDITID3TAG) \
    X(1140, EDIT_TITLE) \
    X(1141, EDIT_ARTIST) \
    X(1142, EDIT_YEAR) \
    X(1143, EDIT_GENRE) \
    X(1144, COMBO_BITRATE) \
    X(1145, BTN_CRC) \
    X(1146, BTN_ORIGINAL) \
    X(1147, BTN_COPYRIGHT) \
    X(1148, BTN_PRIVATE) \
    X(1149, BTN_ID3) \
    X(1150, COMBO_STEREOMODE) \
    X(1151, COMBO_GENRE) \
    X(1152, CHECK_STREAMINGURL) \
    X(1153, EDIT_STREAMINGURL) \
    X(1154, EDIT_LOADINGTIME) \
    X(1155, SCREEN) \
    X(1156, EDIT_BACKGROUNDFILE) \
    X(1157, BTN_BACKGROUNDLEFT) \
    X(1158, BTN_BACKGROUNDRIGHT) \
    X(1159, BTN_BACKGROUNDLEFTRIGHT) \
    X(1160, BTN_RECORDINGLEFT) \
    X(1161, BTN_RECORDINGRIGHT) \
    X(1162, BTN_RECORDINGLEFTRIGHT) \
    X(1163, BTN_REMOVE) \
    X(1164, BTN_PREVIEW) \
    X(1165, BTN_BACKGROUNDSET) \
    X(1166, BTN_BACKGROUNDENABLE) \
    X(1167, BTN_REPEAT) \
    X(1168, BTN_STOPRECORDING) \
    X(1169, BTN_STOPBACKGROUND) \
    X(1170, BTN_WAVFILE) \
    X(1171, BTN_WMAFILE) \
    X(1172, BTN_WMASET) \
    X(1173, EDIT_AUTHOR) \
    X(1175, EDIT_PROVIDER) \
    X(1176, EDIT_TRACKNUMBER) \
    X(1177, EDIT_DISTRIBUTOR) \
    X(1178, COMBO_FORMAT) \
    X(1179, BTN_VOCALLEFT) \
    X(1180, BTN_VOCALRIGHT) \
    X(1181, BTN_VOCALLEFTRIGHT) \
    X(1182, EDIT_FILELOCATION) \
    X(1183, EDIT_ALBUM)
// clang-format on

namespace orvel {

enum class ControlId : int {
#define ORVEL_CONTROL_ID(id, name) name = id,
    ORVEL_NAMED_CONTROLS(ORVEL_CONTROL_ID)
#undef ORVEL_CONTROL_ID

    // Without a name: no tooltip of the language file and no hot key reach them.
    kScheduleDate = 1075,  // schedule window: the one date an item records on
    kSunday = 1087,        // the schedule window's weekdays, Sunday to Saturday
    kMonday = 1088,
    kTuesday = 1089,
    kWednesday = 1090,
    kThursday = 1091,
    kFriday = 1092,
    kSaturday = 1093,
    kAutoConfigure = 1184,  // start-up window: configure the line automatically
    kNoAutoConfigure = 1185,
    kMicrophone = 1186,  // line window: make the microphone current
    kHistoryTree = 1187,
    kTrackList = 1188,
};

}  // namespace orvel
