' Beacon
Zov.Ptt = True
