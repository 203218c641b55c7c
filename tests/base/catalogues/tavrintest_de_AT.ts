<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_AT">
<context>
    <name>TranslationsTest</name>
    <message>
        <source>Start server</source>
        <translation>Server hochfahren</translation>
    </message>
</context>
</TS>
