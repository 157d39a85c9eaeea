d = #1/15/2024 2:30:05 PM# : t = #14:30# : e = #October 19, 1962#
MsgBox DateAdd("m", 1, #1/31/2024#) & DateDiff("ww", e, d, vbMonday) & DatePart("ww", d, 2, vbFirstFourDays)
MsgBox DateSerial(2024, 13, 0) & TimeSerial(25, -1, 61) & Weekday(d, 0) & WeekdayName(7, True, 3) & MonthName(12)
MsgBox IsDate("31-Jan-09 00:00:00") & CDate("2024-01-15 14:30") & DateValue("Jan 2") & TimeValue("2 PM")
MsgBox FormatDateTime(d, vbLongDate) & FormatDateTime(t, 4) & CSng(d) & CByte(7) & CCur("1.23456") & Year("1/1/100")
