<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>TranslationsTest</name>
    <message>
        <source>Start server</source>
        <translation>Server starten</translation>
    </message>
    <message>
        <source>Open logs</source>
        <translation>Protokolle öffnen</translation>
    </message>
</context>
</TS>
