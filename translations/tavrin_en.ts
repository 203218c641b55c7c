<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>DaemonClient</name>
    <message numerus="yes">
        <source>%n second(s)</source>
        <translation>
            <numerusform>%n second</numerusform>
            <numerusform>%n seconds</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>DaemonClientError</name>
    <message numerus="yes">
        <source>%1 byte(s)</source>
        <translation>
            <numerusform>%1 byte</numerusform>
            <numerusform>%1 bytes</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>KeyCommands</name>
    <message numerus="yes">
        <source>%n keys have the label %1; name one by its id: %2.</source>
        <translation>
            <numerusform>%n key has the label %1; name it by its id: %2.</numerusform>
            <numerusform>%n keys have the label %1; name one by its id: %2.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RecordText</name>
    <message numerus="yes">
        <source>%n day(s)</source>
        <translation>
            <numerusform>%n day</numerusform>
            <numerusform>%n days</numerusform>
        </translation>
    </message>
</context>
</TS>
