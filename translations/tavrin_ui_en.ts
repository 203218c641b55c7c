<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>KeysTabLogic</name>
    <message numerus="yes">
        <source>%1 request(s)</source>
        <extracomment>%1 is the number of requests, written as the language writes numbers.</extracomment>
        <translation>
            <numerusform>%1 request</numerusform>
            <numerusform>%1 requests</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>StatusTabLogic</name>
    <message numerus="yes">
        <source>%n generation(s)</source>
        <translation>
            <numerusform>%n generation</numerusform>
            <numerusform>%n generations</numerusform>
        </translation>
    </message>
</context>
</TS>
