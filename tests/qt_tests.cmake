# Window and network tests (Qt Test, offscreen).
tessaly_qt_test(frm_main_test)
tessaly_qt_test(frm_windows_test)
tessaly_qt_test(inet_test)
tessaly_qt_test(update_check_test)
