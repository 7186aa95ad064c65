#!/usr/bin/python3
# A stand-in for KWin's keyboard layout service on a private session bus: three layouts,
# the first active; setLayout switches as KWin does.
import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

LAYOUTS = [("us", "", "English (US)"), ("ru", "", "Russian"), ("de", "nodeadkeys", "German")]


class Layouts(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, "/Layouts")
        self.current = 0

    @dbus.service.method("org.kde.KeyboardLayouts", out_signature="a(sss)")
    def getLayoutsList(self):
        return dbus.Array([dbus.Struct(l, signature="sss") for l in LAYOUTS], signature="(sss)")

    @dbus.service.method("org.kde.KeyboardLayouts", out_signature="u")
    def getLayout(self):
        return dbus.UInt32(self.current)

    @dbus.service.method("org.kde.KeyboardLayouts", in_signature="u", out_signature="b")
    def setLayout(self, index):
        if index >= len(LAYOUTS):
            return False
        self.current = int(index)
        return True


DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
name = dbus.service.BusName("org.kde.keyboard", bus)
service = Layouts(bus)
GLib.MainLoop().run()
