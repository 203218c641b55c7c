<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>ConfirmDestructive</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>DiagnosticsTabLogic</name>
    <message>
        <source>State directory</source>
        <translation>Zustandsordner</translation>
    </message>
    <message>
        <source>Server log</source>
        <translation>Serverprotokoll</translation>
    </message>
    <message>
        <source>Error log</source>
        <translation>Fehlerprotokoll</translation>
    </message>
</context>
<context>
    <name>EngineCardLogic</name>
    <message>
        <source>First token in %1 ms · whole answer in %2 ms.</source>
        <translation>Erstes Token nach %1 ms · ganze Antwort nach %2 ms.</translation>
    </message>
</context>
<context>
    <name>KeysTabLogic</name>
    <message>
        <source>%1 of unlimited active · %2 revoked · %3 total</source>
        <translation>%1 von unbegrenzt aktiv · %2 widerrufen · %3 insgesamt</translation>
    </message>
    <message>
        <source>e.g. Quillterm — Maya&apos;s laptop</source>
        <translation>z. B. Quillterm — Mayas Laptop</translation>
    </message>
    <message>
        <source>No keys yet. Create one above.</source>
        <translation>Noch keine Schlüssel. Erstellen Sie oben einen.</translation>
    </message>
    <message>
        <source>Inference</source>
        <translation>Inferenz</translation>
    </message>
    <message>
        <source>Can call /v1/chat/completions, /v1/models, /api/chat, /api/generate.</source>
        <translation>Darf /v1/chat/completions, /v1/models, /api/chat und /api/generate aufrufen.</translation>
    </message>
    <message>
        <source>Read-only</source>
        <translation>Nur lesen</translation>
    </message>
    <message>
        <source>Can list models but cannot generate text. Useful for monitoring or audit-only integrations.</source>
        <translation>Darf Modelle auflisten, aber keinen Text erzeugen. Nützlich für Überwachung oder reine Audit-Anbindungen.</translation>
    </message>
    <message>
        <source>Active</source>
        <translation>Aktiv</translation>
    </message>
    <message>
        <source>Revoked</source>
        <translation>Widerrufen</translation>
    </message>
    <message>
        <source>Last used %1</source>
        <translation>Zuletzt benutzt %1</translation>
    </message>
    <message>
        <source>never</source>
        <translation>nie</translation>
    </message>
    <message numerus="yes">
        <source>%1 request(s)</source>
        <extracomment>%1 is the number of requests, written as the language writes numbers.</extracomment>
        <translation>
            <numerusform>%1 Anfrage</numerusform>
            <numerusform>%1 Anfragen</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>LogsTabLogic</name>
    <message>
        <source>7 days</source>
        <translation>7 Tage</translation>
    </message>
    <message>
        <source>30 days</source>
        <translation>30 Tage</translation>
    </message>
    <message>
        <source>90 days</source>
        <translation>90 Tage</translation>
    </message>
    <message>
        <source>365 days</source>
        <translation>365 Tage</translation>
    </message>
    <message>
        <source>Active</source>
        <translation>Aktiv</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message>
        <source>Nothing is logged. The server keeps no record of who called it or what they asked.</source>
        <translation>Nichts wird protokolliert. Der Server hält nicht fest, wer ihn aufgerufen oder was gefragt hat.</translation>
    </message>
    <message>
        <source>Standard</source>
        <extracomment>The tag of the middle logging mode, beside &quot;Default&quot; and &quot;Compliance&quot;.</extracomment>
        <translation>Normal</translation>
    </message>
    <message>
        <source>Privacy</source>
        <translation>Datenschutz</translation>
    </message>
    <message>
        <source>Timestamps, key ID, response time, token counts. No prompts, no responses.</source>
        <translation>Zeitstempel, Schlüssel-ID, Antwortzeit, Tokenanzahl. Keine Prompts, keine Antworten.</translation>
    </message>
    <message>
        <source>Compliance</source>
        <translation>Compliance</translation>
    </message>
    <message>
        <source>Audit</source>
        <translation>Audit</translation>
    </message>
    <message>
        <source>Everything in Privacy, plus prompt and response text. Required for many regulated contexts.</source>
        <translation>Alles aus „Datenschutz“, dazu Prompt- und Antworttext. In vielen regulierten Bereichen vorgeschrieben.</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>%1 gespeichert</translation>
    </message>
</context>
<context>
    <name>ModelsTabLogic</name>
    <message>
        <source>No model loaded</source>
        <translation>Kein Modell geladen</translation>
    </message>
    <message>
        <source>Not loaded</source>
        <translation>Nicht geladen</translation>
    </message>
    <message>
        <source>Imported %1</source>
        <translation>Importiert %1</translation>
    </message>
    <message>
        <source> · from Tavrin AI %1</source>
        <translation> · aus Tavrin AI %1</translation>
    </message>
    <message>
        <source>Healthy</source>
        <translation>Intakt</translation>
    </message>
    <message>
        <source>Adapter ✓</source>
        <translation>Adapter ✓</translation>
    </message>
    <message>
        <source>Steering ✓</source>
        <translation>Steuerung ✓</translation>
    </message>
    <message>
        <source>System prompt ✓</source>
        <translation>Systemprompt ✓</translation>
    </message>
    <message>
        <source>Base model only</source>
        <translation>Nur Basismodell</translation>
    </message>
    <message>
        <source>Alias</source>
        <translation>Alias</translation>
    </message>
    <message>
        <source>Pipeline version</source>
        <translation>Pipeline-Version</translation>
    </message>
    <message>
        <source>SHA-256</source>
        <translation>SHA-256</translation>
    </message>
    <message>
        <source>Staged path</source>
        <translation>Bereitgestellter Pfad</translation>
    </message>
    <message>
        <source>Source app version</source>
        <translation>Version der Quell-App</translation>
    </message>
    <message>
        <source>From Tavrin AI %1</source>
        <translation>Aus Tavrin AI %1</translation>
    </message>
    <message>
        <source>imported %1</source>
        <translation>importiert %1</translation>
    </message>
    <message>
        <source>pipeline %1</source>
        <translation>Pipeline %1</translation>
    </message>
    <message>
        <source>%1 is ready to promote</source>
        <translation>%1 kann übernommen werden</translation>
    </message>
    <message>
        <source>staged</source>
        <extracomment>A model delivered and waiting to be promoted to production.</extracomment>
        <translation>bereitgestellt</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>Vorherig</translation>
    </message>
    <message>
        <source>First install</source>
        <translation>Erstinstallation</translation>
    </message>
    <message>
        <source>Promoted %1</source>
        <translation>Übernommen %1</translation>
    </message>
</context>
<context>
    <name>NetworkTabLogic</name>
    <message>
        <source>This computer</source>
        <translation>Dieser Computer</translation>
    </message>
    <message>
        <source>Localhost</source>
        <translation>Localhost</translation>
    </message>
    <message>
        <source>Apps on this computer (127.0.0.1) can reach the server. Always on.</source>
        <translation>Apps auf diesem Computer (127.0.0.1) erreichen den Server. Immer aktiv.</translation>
    </message>
    <message>
        <source>Your network</source>
        <translation>Ihr Netzwerk</translation>
    </message>
    <message>
        <source>LAN — disabled</source>
        <translation>LAN — deaktiviert</translation>
    </message>
    <message>
        <source>Toggle below to expose the server to other machines on this network.</source>
        <translation>Schalten Sie unten um, damit andere Geräte in diesem Netzwerk den Server erreichen.</translation>
    </message>
    <message>
        <source>LAN — Wi-Fi &amp; Ethernet</source>
        <translation>LAN — WLAN &amp; Ethernet</translation>
    </message>
    <message>
        <source>Other devices on Wi-Fi can reach http://%1:%2</source>
        <translation>Andere Geräte im WLAN erreichen http://%1:%2</translation>
    </message>
</context>
<context>
    <name>OrgPreambleTabLogic</name>
    <message>
        <source>%1 / %2 characters</source>
        <translation>%1 / %2 Zeichen</translation>
    </message>
</context>
<context>
    <name>PhaseLook</name>
    <message>
        <source>Unknown</source>
        <translation>Unbekannt</translation>
    </message>
    <message>
        <source>Checking…</source>
        <translation>Wird geprüft…</translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation>Gestoppt</translation>
    </message>
    <message>
        <source>Running</source>
        <translation>Läuft</translation>
    </message>
    <message>
        <source>Admin password required</source>
        <translation>Administratorpasswort nötig</translation>
    </message>
    <message>
        <source>Error: %1</source>
        <translation>Fehler: %1</translation>
    </message>
</context>
<context>
    <name>ServerFigures</name>
    <message>
        <source>%1h %2m</source>
        <extracomment>Server uptime: %1 whole hours, %2 minutes.</extracomment>
        <translation>%1 Std. %2 Min.</translation>
    </message>
    <message>
        <source>%1 GB</source>
        <translation>%1 GB</translation>
    </message>
    <message>
        <source>Copy localhost endpoint</source>
        <translation>Localhost-Endpunkt kopieren</translation>
    </message>
    <message>
        <source>Copy LAN endpoint</source>
        <translation>LAN-Endpunkt kopieren</translation>
    </message>
    <message>
        <source>Copy model hash</source>
        <translation>Modell-Hash kopieren</translation>
    </message>
</context>
<context>
    <name>StatusScreens</name>
    <message>
        <source>Could not write %1</source>
        <translation>%1 konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <source>Could not create %1</source>
        <translation>%1 konnte nicht angelegt werden</translation>
    </message>
</context>
<context>
    <name>StatusTabLogic</name>
    <message>
        <source>Your server is stopped.</source>
        <translation>Ihr Server ist gestoppt.</translation>
    </message>
    <message>
        <source>Start it whenever you need it. The Tavrin app launches in the background and the tray icon stays visible.</source>
        <translation>Starten Sie ihn, wann immer Sie ihn brauchen. Die Tavrin-App startet im Hintergrund, und das Symbol im Systembereich bleibt sichtbar.</translation>
    </message>
    <message>
        <source>Your Tavrin server is live.</source>
        <translation>Ihr Tavrin-Server ist in Betrieb.</translation>
    </message>
    <message>
        <source>One computer, two endpoints, no surveillance. Everything below reflects what the server is doing right now.</source>
        <translation>Ein Computer, zwei Endpunkte, keine Überwachung. Alles hier unten zeigt, was der Server gerade tut.</translation>
    </message>
    <message>
        <source>Admin password required.</source>
        <translation>Administratorpasswort nötig.</translation>
    </message>
    <message>
        <source>Set the admin password in Diagnostics ▸ Admin password to take control of the server.</source>
        <translation>Legen Sie das Administratorpasswort unter Diagnose ▸ Administratorpasswort fest, um den Server zu steuern.</translation>
    </message>
    <message>
        <source>Your server hit an error.</source>
        <translation>Ihr Server hat einen Fehler gemeldet.</translation>
    </message>
    <message>
        <source>The login service is not running.</source>
        <translation>Der Anmeldedienst läuft nicht.</translation>
    </message>
    <message>
        <source>Uptime · %1</source>
        <translation>Laufzeit · %1</translation>
    </message>
    <message>
        <source>PID %1</source>
        <translation>PID %1</translation>
    </message>
    <message>
        <source>Set the admin password in Diagnostics ▸ Admin password.</source>
        <translation>Legen Sie das Administratorpasswort unter Diagnose ▸ Administratorpasswort fest.</translation>
    </message>
    <message>
        <source>Stop server</source>
        <translation>Server stoppen</translation>
    </message>
    <message>
        <source>Start server</source>
        <translation>Server starten</translation>
    </message>
    <message>
        <source>disabled · enable in Network tab</source>
        <translation>deaktiviert · im Tab „Netzwerk“ einschalten</translation>
    </message>
    <message>
        <source>Server not loaded</source>
        <translation>Server nicht geladen</translation>
    </message>
    <message>
        <source>Adapter</source>
        <translation>Adapter</translation>
    </message>
    <message>
        <source>Steering</source>
        <translation>Steuerung</translation>
    </message>
    <message>
        <source>System prompt</source>
        <translation>Systemprompt</translation>
    </message>
    <message>
        <source>Base model only</source>
        <translation>Nur Basismodell</translation>
    </message>
    <message>
        <source>%1 loaded</source>
        <translation>%1 geladen</translation>
    </message>
    <message>
        <source>Not loaded</source>
        <translation>Nicht geladen</translation>
    </message>
    <message>
        <source>Start the server to see live load.</source>
        <translation>Starten Sie den Server, um die aktuelle Last zu sehen.</translation>
    </message>
    <message>
        <source>%1 in flight · %2 queued</source>
        <translation>%1 in Arbeit · %2 wartend</translation>
    </message>
    <message>
        <source>503 above %1 · completed %2 since start</source>
        <translation>503 über %1 · %2 erledigt seit Start</translation>
    </message>
    <message>
        <source>PID</source>
        <translation>PID</translation>
    </message>
    <message>
        <source>Copy PID</source>
        <translation>PID kopieren</translation>
    </message>
    <message>
        <source>Pipeline version</source>
        <translation>Pipeline-Version</translation>
    </message>
    <message>
        <source>Copy pipeline version</source>
        <translation>Pipeline-Version kopieren</translation>
    </message>
    <message>
        <source>Model SHA-256</source>
        <translation>Modell-SHA-256</translation>
    </message>
    <message>
        <source>State directory</source>
        <translation>Zustandsordner</translation>
    </message>
    <message>
        <source>Copy state directory</source>
        <translation>Zustandsordner kopieren</translation>
    </message>
    <message>
        <source>Engine address</source>
        <translation>Engine-Adresse</translation>
    </message>
    <message>
        <source>Copy engine address</source>
        <translation>Engine-Adresse kopieren</translation>
    </message>
    <message>
        <source>Engine error</source>
        <translation>Engine-Fehler</translation>
    </message>
    <message>
        <source>Max concurrency</source>
        <translation>Max. Parallelität</translation>
    </message>
    <message>
        <source>Max queue depth</source>
        <translation>Max. Warteschlangentiefe</translation>
    </message>
    <message>
        <source>%1 (HTTP 503 above)</source>
        <translation>%1 (darüber HTTP 503)</translation>
    </message>
    <message>
        <source>Rejected (busy)</source>
        <translation>Abgewiesen (ausgelastet)</translation>
    </message>
    <message>
        <source>Audit records dropped</source>
        <translation>Verworfene Audit-Einträge</translation>
    </message>
    <message>
        <source>%1 (the audit log reached its size limit)</source>
        <translation>%1 (das Audit-Protokoll hat seine Größengrenze erreicht)</translation>
    </message>
    <message>
        <source>Server version</source>
        <translation>Serverversion</translation>
    </message>
    <message>
        <source>Copy server version</source>
        <translation>Serverversion kopieren</translation>
    </message>
    <message>
        <source>systemd will start the Tavrin server every time you sign in.</source>
        <translation>systemd startet den Tavrin-Server bei jeder Anmeldung.</translation>
    </message>
    <message>
        <source>Currently off. You&apos;ll start the server manually from this tab.</source>
        <translation>Derzeit aus. Sie starten den Server selbst in diesem Tab.</translation>
    </message>
    <message>
        <source>No readings of the load in the last 10 minutes yet.</source>
        <translation>Noch keine Lastwerte aus den letzten 10 Minuten.</translation>
    </message>
    <message>
        <source>In flight over the last 10 minutes: peak %1, now %2. Queued: peak %3, now %4.</source>
        <translation>In Arbeit in den letzten 10 Minuten: Spitze %1, jetzt %2. Wartend: Spitze %3, jetzt %4.</translation>
    </message>
    <message numerus="yes">
        <source>%n generation(s)</source>
        <translation>
            <numerusform>%n Generierung</numerusform>
            <numerusform>%n Generierungen</numerusform>
        </translation>
    </message>
    <message>
        <source>Upstream model %1</source>
        <translation>Upstream-Modell %1</translation>
    </message>
</context>
<context>
    <name>TRStepRail</name>
    <message>
        <source>Step %1 of %2, done</source>
        <translation>Schritt %1 von %2, erledigt</translation>
    </message>
    <message>
        <source>Step %1 of %2, current step</source>
        <translation>Schritt %1 von %2, aktueller Schritt</translation>
    </message>
    <message>
        <source>Step %1 of %2, not reached yet</source>
        <translation>Schritt %1 von %2, noch nicht erreicht</translation>
    </message>
</context>
<context>
    <name>TabCatalogue</name>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>Tools to start, monitor, and tune the Tavrin server running on this computer.</source>
        <translation>Werkzeuge, um den Tavrin-Server auf diesem Computer zu starten, zu überwachen und abzustimmen.</translation>
    </message>
    <message>
        <source>API Keys</source>
        <translation>API-Schlüssel</translation>
    </message>
    <message>
        <source>Access</source>
        <translation>Zugang</translation>
    </message>
    <message>
        <source>API keys</source>
        <translation>API-Schlüssel</translation>
    </message>
    <message>
        <source>Every request to your server needs a key. Keys are shown once when you make them — we only keep a hashed copy.</source>
        <translation>Jede Anfrage an Ihren Server braucht einen Schlüssel. Schlüssel werden nur beim Erstellen einmal angezeigt — wir bewahren nur einen Hash auf.</translation>
    </message>
    <message>
        <source>Models</source>
        <translation>Modelle</translation>
    </message>
    <message>
        <source>Engine</source>
        <translation>Engine</translation>
    </message>
    <message>
        <source>Tavrin runs one model at a time. The free Tavrin app delivers updates, and you decide when production switches.</source>
        <translation>Tavrin betreibt jeweils ein Modell. Die kostenlose Tavrin-App liefert Aktualisierungen, und Sie entscheiden, wann die Produktion wechselt.</translation>
    </message>
    <message>
        <source>Logs</source>
        <translation>Protokolle</translation>
    </message>
    <message>
        <source>Auditing</source>
        <translation>Protokollierung</translation>
    </message>
    <message>
        <source>What this server remembers</source>
        <translation>Was dieser Server festhält</translation>
    </message>
    <message>
        <source>Tavrin doesn&apos;t log anything by default. Turn on logging only if you need request metadata for billing or compliance.</source>
        <translation>Tavrin protokolliert standardmäßig nichts. Schalten Sie die Protokollierung nur ein, wenn Sie Anfrage-Metadaten für Abrechnung oder Compliance brauchen.</translation>
    </message>
    <message>
        <source>Network</source>
        <translation>Netzwerk</translation>
    </message>
    <message>
        <source>Exposure</source>
        <translation>Erreichbarkeit</translation>
    </message>
    <message>
        <source>Who can reach this server?</source>
        <translation>Wer kann diesen Server erreichen?</translation>
    </message>
    <message>
        <source>Localhost is always on. LAN access requires explicit opt-in. The public internet is never recommended — use Tailscale or another VPN for remote staff.</source>
        <translation>Localhost ist immer aktiv. LAN-Zugriff muss ausdrücklich eingeschaltet werden. Vom öffentlichen Internet raten wir immer ab — nutzen Sie für entfernte Mitarbeitende Tailscale oder ein anderes VPN.</translation>
    </message>
    <message>
        <source>Org Preamble</source>
        <translation>Org-Vorspann</translation>
    </message>
    <message>
        <source>Policy</source>
        <translation>Richtlinie</translation>
    </message>
    <message>
        <source>Org preamble</source>
        <translation>Organisationsvorspann</translation>
    </message>
    <message>
        <source>One instruction, prepended to every request this server answers.</source>
        <translation>Eine Anweisung, die jeder Anfrage an diesen Server vorangestellt wird.</translation>
    </message>
    <message>
        <source>Updates</source>
        <translation>Aktualisierungen</translation>
    </message>
    <message>
        <source>Maintenance</source>
        <translation>Wartung</translation>
    </message>
    <message>
        <source>Tavrin Keldmarch ships through a signed channel. Every release carries an ed25519 signature — the server refuses anything that doesn&apos;t verify.</source>
        <translation>Tavrin Keldmarch wird über einen signierten Kanal ausgeliefert. Jede Version trägt eine ed25519-Signatur — der Server lehnt alles ab, was sich nicht prüfen lässt.</translation>
    </message>
    <message>
        <source>Diagnostics</source>
        <translation>Diagnose</translation>
    </message>
    <message>
        <source>Tools for when something is wrong. Most of these you&apos;ll never need to touch.</source>
        <translation>Werkzeuge für den Fall, dass etwas nicht stimmt. Die meisten davon brauchen Sie nie.</translation>
    </message>
</context>
<context>
    <name>TrayPanel</name>
    <message>
        <source>Tavrin Keldmarch menu</source>
        <translation>Tavrin-Keldmarch-Menü</translation>
    </message>
</context>
<context>
    <name>TrayPanelLogic</name>
    <message>
        <source>not loaded</source>
        <translation>nicht geladen</translation>
    </message>
    <message>
        <source>%1 / %2 max</source>
        <extracomment>Generations running now (%1) out of the most allowed at once (%2).</extracomment>
        <translation>%1 / %2 max.</translation>
    </message>
    <message>
        <source>Update available · %1</source>
        <translation>Aktualisierung verfügbar · %1</translation>
    </message>
    <message>
        <source>Stop server</source>
        <translation>Server stoppen</translation>
    </message>
    <message>
        <source>Start server</source>
        <translation>Server starten</translation>
    </message>
    <message>
        <source>Open Tavrin Keldmarch…</source>
        <translation>Tavrin Keldmarch öffnen…</translation>
    </message>
    <message>
        <source>Quit Tavrin Keldmarch</source>
        <translation>Tavrin Keldmarch beenden</translation>
    </message>
</context>
<context>
    <name>UpdatesTabLogic</name>
    <message>
        <source>Released %1 · %2 channel</source>
        <translation>Veröffentlicht %1 · Kanal %2</translation>
    </message>
    <message>
        <source>No release notes published.</source>
        <translation>Keine Versionshinweise veröffentlicht.</translation>
    </message>
    <message>
        <source>What&apos;s in %1</source>
        <translation>Neu in %1</translation>
    </message>
    <message>
        <source>never</source>
        <translation>nie</translation>
    </message>
    <message>
        <source>Latest stable on the %1 channel · last checked %2</source>
        <translation>Neueste stabile Version im Kanal %1 · zuletzt geprüft %2</translation>
    </message>
    <message>
        <source>Checking…</source>
        <translation>Wird geprüft…</translation>
    </message>
    <message>
        <source>Check now</source>
        <translation>Jetzt prüfen</translation>
    </message>
    <message>
        <source>v%1</source>
        <extracomment>A version as the Updates tab shows it, e.g. &quot;v1.4.2&quot;.</extracomment>
        <translation>v%1</translation>
    </message>
    <message>
        <source> · %1</source>
        <extracomment>Appended to the release line: %1 is the package size with its unit (&quot;3 MB&quot;).</extracomment>
        <translation> · %1</translation>
    </message>
</context>
<context>
    <name>WizardLogic</name>
    <message>
        <source>Apple silicon · %1</source>
        <translation>Apple silicon · %1</translation>
    </message>
    <message>
        <source>Not a 64-bit processor</source>
        <translation>Kein 64-Bit-Prozessor</translation>
    </message>
    <message>
        <source>64-bit processor</source>
        <translation>64-Bit-Prozessor</translation>
    </message>
    <message>
        <source>Welcome</source>
        <translation>Willkommen</translation>
    </message>
    <message>
        <source>Machine readiness</source>
        <translation>Rechner-Check</translation>
    </message>
    <message>
        <source>Admin password</source>
        <translation>Administratorpasswort</translation>
    </message>
    <message>
        <source>Set up &amp; start</source>
        <translation>Einrichten &amp; starten</translation>
    </message>
    <message>
        <source>You&apos;re set</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>Step %1 of %2 · %3</source>
        <translation>Schritt %1 von %2 · %3</translation>
    </message>
    <message>
        <source>Tavrin AI app found</source>
        <translation>Tavrin-AI-App gefunden</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>Bereit</translation>
    </message>
    <message>
        <source>Looking for Tavrin AI</source>
        <translation>Suche nach Tavrin AI</translation>
    </message>
    <message>
        <source>Not found</source>
        <translation>Nicht gefunden</translation>
    </message>
    <message>
        <source>Checking…</source>
        <translation>Wird geprüft…</translation>
    </message>
    <message>
        <source> RAM</source>
        <translation> RAM</translation>
    </message>
    <message>
        <source> · simulated host, not this machine</source>
        <translation> · simulierter Rechner, nicht dieser</translation>
    </message>
    <message>
        <source>Supported</source>
        <translation>Unterstützt</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Concurrent generations</source>
        <translation>Parallele Generierungen</translation>
    </message>
    <message>
        <source>Recommended ceiling</source>
        <translation>Empfohlene Obergrenze</translation>
    </message>
    <message>
        <source>Queue before 503</source>
        <translation>Warteschlange vor 503</translation>
    </message>
    <message>
        <source>Default backpressure</source>
        <translation>Standard-Rückstau</translation>
    </message>
    <message>
        <source>Support status</source>
        <translation>Unterstützung</translation>
    </message>
    <message>
        <source>Copied</source>
        <translation>Kopiert</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>43 characters, 256 bits of randomness: far beyond guessing. Safe to keep in a password manager or a team vault.</source>
        <translation>43 Zeichen, 256 Bit Zufall: unmöglich zu erraten. Kann sicher in einem Passwortmanager oder Team-Tresor liegen.</translation>
    </message>
    <message>
        <source>Starting…</source>
        <translation>Wird gestartet…</translation>
    </message>
    <message>
        <source>Server is running</source>
        <translation>Server läuft</translation>
    </message>
    <message>
        <source>Start Tavrin Keldmarch</source>
        <translation>Tavrin Keldmarch starten</translation>
    </message>
    <message>
        <source>127.0.0.1 only · port %1</source>
        <translation>nur 127.0.0.1 · Port %1</translation>
    </message>
    <message>
        <source>Server started. It&apos;ll start automatically next time you log in.</source>
        <translation>Server gestartet. Bei Ihrer nächsten Anmeldung startet er automatisch.</translation>
    </message>
    <message>
        <source>Server started for this session. Start it from the Status tab next time.</source>
        <translation>Server für diese Sitzung gestartet. Starten Sie ihn nächstes Mal im Tab „Status“.</translation>
    </message>
    <message>
        <source>Unsupported</source>
        <translation>Nicht unterstützt</translation>
    </message>
</context>
<context>
    <name>tavrin::DiagnosticsTab</name>
    <message>
        <source>Generate a support bundle</source>
        <translation>Support-Paket erstellen</translation>
    </message>
    <message>
        <source>Zips the hardware summary, audit metadata and recent log output for the support team. Prompt contents are redacted by default.</source>
        <translation>Packt Hardware-Übersicht, Audit-Metadaten und aktuelle Protokollausgaben für das Support-Team in ein ZIP. Prompt-Inhalte werden standardmäßig geschwärzt.</translation>
    </message>
    <message>
        <source>Include prompt contents</source>
        <translation>Prompt-Inhalte einschließen</translation>
    </message>
    <message>
        <source>(only if Audit logging is on)</source>
        <translation>(nur bei eingeschalteter Audit-Protokollierung)</translation>
    </message>
    <message>
        <source>Generate bundle</source>
        <translation>Paket erstellen</translation>
    </message>
    <message>
        <source>Admin password</source>
        <translation>Administratorpasswort</translation>
    </message>
    <message>
        <source>This computer&apos;s keyring holds the password the Tavrin app uses to manage its own server (start, stop, switch model). It never leaves this machine.</source>
        <translation>Der Schlüsselbund dieses Computers enthält das Passwort, mit dem die Tavrin-App ihren eigenen Server verwaltet (starten, stoppen, Modell wechseln). Es verlässt diesen Rechner nie.</translation>
    </message>
    <message>
        <source>Saved to keyring</source>
        <translation>Im Schlüsselbund gespeichert</translation>
    </message>
    <message>
        <source>SET OR CHANGE PASSWORD</source>
        <translation>PASSWORT FESTLEGEN ODER ÄNDERN</translation>
    </message>
    <message>
        <source>New admin password</source>
        <translation>Neues Administratorpasswort</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <source>If you lose it, reset it here. The server keeps running — only the GUI&apos;s admin commands need a matching password.</source>
        <translation>Falls Sie es verlieren, setzen Sie es hier zurück. Der Server läuft weiter — nur die Verwaltungsbefehle der Oberfläche brauchen ein passendes Passwort.</translation>
    </message>
    <message>
        <source>Files &amp; folders</source>
        <translation>Dateien &amp; Ordner</translation>
    </message>
    <message>
        <source>Open the directories Tavrin uses for state, logs, and errors.</source>
        <translation>Öffnen Sie die Ordner, die Tavrin für Zustand, Protokolle und Fehler nutzt.</translation>
    </message>
    <message>
        <source>Show in Folder</source>
        <translation>Im Ordner zeigen</translation>
    </message>
    <message>
        <source>Show in Folder: %1</source>
        <translation>Im Ordner zeigen: %1</translation>
    </message>
    <message>
        <source>Re-run first-run setup</source>
        <translation>Ersteinrichtung erneut ausführen</translation>
    </message>
    <message>
        <source>Walks through the prerequisite, password, network and install steps of setup again — useful to reinstall the login agent or re-test the install path. Your keys and logs are not deleted.</source>
        <translation>Führt erneut durch Voraussetzungen, Passwort, Netzwerk und Installation — nützlich, um den Anmeldedienst neu zu installieren oder den Installationsweg erneut zu prüfen. Ihre Schlüssel und Protokolle bleiben erhalten.</translation>
    </message>
    <message>
        <source>Re-run setup</source>
        <translation>Einrichtung wiederholen</translation>
    </message>
    <message>
        <source>Re-run first-run setup?</source>
        <translation>Ersteinrichtung erneut ausführen?</translation>
    </message>
    <message>
        <source>This relaunches the setup wizard. Your existing keys and the server&apos;s state are preserved.</source>
        <translation>Damit startet der Einrichtungsassistent erneut. Ihre vorhandenen Schlüssel und der Zustand des Servers bleiben erhalten.</translation>
    </message>
</context>
<context>
    <name>tavrin::EndpointBox</name>
    <message>
        <source>Copy %1</source>
        <extracomment>Name of a copy button; %1 is the endpoint&apos;s caption, e.g. &quot;Localhost&quot;.</extracomment>
        <translation>%1 kopieren</translation>
    </message>
</context>
<context>
    <name>tavrin::EngineCard</name>
    <message>
        <source>Engine</source>
        <translation>Engine</translation>
    </message>
    <message>
        <source>Where the answers come from. Keys, usage, the audit log and the preamble stay with this server, whichever engine answers.</source>
        <translation>Woher die Antworten kommen. Schlüssel, Nutzung, Audit-Protokoll und Vorspann bleiben bei diesem Server, gleich welche Engine antwortet.</translation>
    </message>
    <message>
        <source>Built-in echo</source>
        <translation>Eingebautes Echo</translation>
    </message>
    <message>
        <source>OpenAI-compatible</source>
        <translation>OpenAI-kompatibel</translation>
    </message>
    <message>
        <source>The built-in echo engine answers each request by repeating it. It needs nothing else, which makes it the engine for trying the server out.</source>
        <translation>Die eingebaute Echo-Engine beantwortet jede Anfrage, indem sie sie wiederholt. Sie braucht nichts weiter und eignet sich daher zum Ausprobieren des Servers.</translation>
    </message>
    <message>
        <source>Base URL</source>
        <translation>Basis-URL</translation>
    </message>
    <message>
        <source>BASE URL</source>
        <translation>BASIS-URL</translation>
    </message>
    <message>
        <source>The model to ask for</source>
        <translation>Das anzufragende Modell</translation>
    </message>
    <message>
        <source>Upstream model</source>
        <translation>Upstream-Modell</translation>
    </message>
    <message>
        <source>The model&apos;s own name</source>
        <translation>Der eigene Name des Modells</translation>
    </message>
    <message>
        <source>Name clients see</source>
        <translation>Name für Clients</translation>
    </message>
    <message>
        <source>UPSTREAM MODEL</source>
        <translation>UPSTREAM-MODELL</translation>
    </message>
    <message>
        <source>NAME CLIENTS SEE · OPTIONAL</source>
        <translation>NAME FÜR CLIENTS · OPTIONAL</translation>
    </message>
    <message>
        <source>No key</source>
        <translation>Kein Schlüssel</translation>
    </message>
    <message>
        <source>Key file</source>
        <translation>Schlüsseldatei</translation>
    </message>
    <message>
        <source>Browse…</source>
        <translation>Durchsuchen…</translation>
    </message>
    <message>
        <source>Choose the key file</source>
        <translation>Schlüsseldatei wählen</translation>
    </message>
    <message>
        <source>KEY FILE · OPTIONAL</source>
        <translation>SCHLÜSSELDATEI · OPTIONAL</translation>
    </message>
    <message>
        <source>A file of yours, mode 0600, holding the engine&apos;s API key. The server reads the key from it; the key itself is never shown or saved.</source>
        <translation>Eine eigene Datei mit Modus 0600, die den API-Schlüssel der Engine enthält. Der Server liest den Schlüssel daraus; der Schlüssel selbst wird nie angezeigt oder gespeichert.</translation>
    </message>
    <message>
        <source>Request timeout in seconds</source>
        <translation>Zeitlimit der Anfrage in Sekunden</translation>
    </message>
    <message>
        <source>REQUEST TIMEOUT · SECONDS</source>
        <translation>ZEITLIMIT DER ANFRAGE · SEKUNDEN</translation>
    </message>
    <message>
        <source>TEST ANSWER</source>
        <translation>TESTANTWORT</translation>
    </message>
    <message>
        <source>Test answer</source>
        <translation>Testantwort</translation>
    </message>
    <message>
        <source>Test engine asks the engine in use, as last saved, to say hello.</source>
        <translation>„Engine testen“ bittet die zuletzt gespeicherte Engine, Hallo zu sagen.</translation>
    </message>
    <message>
        <source>Test engine</source>
        <translation>Engine testen</translation>
    </message>
    <message>
        <source>Save engine</source>
        <translation>Engine speichern</translation>
    </message>
    <message>
        <source>In use: %1</source>
        <translation>In Verwendung: %1</translation>
    </message>
    <message>
        <source>Choose the file that holds the engine&apos;s API key</source>
        <translation>Datei mit dem API-Schlüssel der Engine wählen</translation>
    </message>
</context>
<context>
    <name>tavrin::FirstRunWizardView</name>
    <message>
        <source>First-run setup · ~6 minutes</source>
        <translation>Ersteinrichtung · ca. 6 Minuten</translation>
    </message>
</context>
<context>
    <name>tavrin::IssuedKeyBanner</name>
    <message>
        <source>SAVE THIS KEY NOW · IT WILL NOT BE SHOWN AGAIN</source>
        <translation>SPEICHERN SIE DIESEN SCHLÜSSEL JETZT · ER WIRD NICHT ERNEUT ANGEZEIGT</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Copy key %1</source>
        <translation>Schlüssel %1 kopieren</translation>
    </message>
</context>
<context>
    <name>tavrin::KVRow</name>
    <message>
        <source>Copy %1</source>
        <extracomment>Name of a copy button; %1 is the row&apos;s label, e.g. &quot;State directory&quot;.</extracomment>
        <translation>%1 kopieren</translation>
    </message>
</context>
<context>
    <name>tavrin::KeldmarchSidebar</name>
    <message>
        <source>SERVER</source>
        <translation>SERVER</translation>
    </message>
    <message>
        <source>PINNED MODEL</source>
        <translation>FESTES MODELL</translation>
    </message>
</context>
<context>
    <name>tavrin::KeyListRow</name>
    <message>
        <source>Revoke</source>
        <translation>Widerrufen</translation>
    </message>
    <message>
        <source>Rotate</source>
        <translation>Erneuern</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Revoke key %1</source>
        <translation>Schlüssel %1 widerrufen</translation>
    </message>
    <message>
        <source>Rotate key %1</source>
        <translation>Schlüssel %1 erneuern</translation>
    </message>
    <message>
        <source>Delete key %1</source>
        <translation>Schlüssel %1 löschen</translation>
    </message>
</context>
<context>
    <name>tavrin::KeysTab</name>
    <message>
        <source>Create a new key</source>
        <translation>Neuen Schlüssel erstellen</translation>
    </message>
    <message>
        <source>Pick a label so you remember what it&apos;s for.</source>
        <translation>Wählen Sie eine Bezeichnung, damit Sie wissen, wofür er ist.</translation>
    </message>
    <message>
        <source>Key label</source>
        <translation>Schlüsselbezeichnung</translation>
    </message>
    <message>
        <source>Create key</source>
        <translation>Schlüssel erstellen</translation>
    </message>
    <message>
        <source>SCOPE</source>
        <translation>BEREICH</translation>
    </message>
    <message>
        <source>Scope</source>
        <translation>Bereich</translation>
    </message>
    <message>
        <source>Your keys</source>
        <translation>Ihre Schlüssel</translation>
    </message>
    <message>
        <source>Sort: last used</source>
        <translation>Sortierung: zuletzt benutzt</translation>
    </message>
</context>
<context>
    <name>tavrin::LogsTab</name>
    <message>
        <source>Logging mode</source>
        <translation>Protokollierungsmodus</translation>
    </message>
    <message>
        <source>Pick what you want recorded. Each mode is more permissive than the one to its left.</source>
        <translation>Wählen Sie, was festgehalten wird. Jeder Modus erlaubt mehr als der links davon.</translation>
    </message>
    <message>
        <source>KEEP RECORDS FOR</source>
        <translation>EINTRÄGE AUFBEWAHREN</translation>
    </message>
    <message>
        <source>Retention</source>
        <translation>Aufbewahrung</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Audit mode stores prompt and response text.</source>
        <translation>Der Audit-Modus speichert Prompt- und Antworttext.</translation>
    </message>
    <message>
        <source>Make sure your retention settings comply with your organization&apos;s data handling policy.</source>
        <translation>Achten Sie darauf, dass Ihre Aufbewahrung den Datenschutzregeln Ihrer Organisation entspricht.</translation>
    </message>
    <message>
        <source>Include prompt contents in diagnostic exports</source>
        <translation>Prompt-Inhalte in Diagnose-Exporte aufnehmen</translation>
    </message>
    <message>
        <source>Even in Audit mode, exports redact prompt text unless this master switch is on. Required for some support bundles.</source>
        <translation>Auch im Audit-Modus schwärzen Exporte den Prompt-Text, solange dieser Hauptschalter aus ist. Für manche Support-Pakete nötig.</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>Save what&apos;s been logged to disk. CSV is request metadata. JSONL contains full audit detail.</source>
        <translation>Speichern Sie das Protokollierte auf der Festplatte. CSV enthält Anfrage-Metadaten, JSONL alle Audit-Details.</translation>
    </message>
    <message>
        <source>Save usage CSV</source>
        <translation>Nutzungs-CSV speichern</translation>
    </message>
    <message>
        <source>Save audit JSONL</source>
        <translation>Audit-JSONL speichern</translation>
    </message>
    <message>
        <source>Include prompt contents</source>
        <translation>Prompt-Inhalte einschließen</translation>
    </message>
    <message>
        <source>Privacy-mode exports never contain prompt text. JSONL respects the include-contents toggle only when the master switch above is on.</source>
        <translation>Exporte im Datenschutzmodus enthalten nie Prompt-Text. JSONL beachtet den Inhalte-Schalter nur, wenn der Hauptschalter oben an ist.</translation>
    </message>
</context>
<context>
    <name>tavrin::MainWindow</name>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>Open State Folder</source>
        <translation>Zustandsordner öffnen</translation>
    </message>
    <message>
        <source>Show Status Panel</source>
        <translation>Statusfenster zeigen</translation>
    </message>
    <message>
        <source>Close Window</source>
        <translation>Fenster schließen</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
</context>
<context>
    <name>tavrin::ModelsTab</name>
    <message>
        <source>Server unreachable</source>
        <translation>Server nicht erreichbar</translation>
    </message>
    <message>
        <source>Start the server from the Status tab to inspect model state.</source>
        <translation>Starten Sie den Server im Tab „Status“, um den Modellzustand zu sehen.</translation>
    </message>
    <message>
        <source>LOADED · PRODUCTION</source>
        <translation>GELADEN · PRODUKTION</translation>
    </message>
    <message>
        <source>Technical details</source>
        <translation>Technische Details</translation>
    </message>
    <message>
        <source>The free Tavrin AI app delivered a new model. Promotion is reversible.</source>
        <translation>Die kostenlose Tavrin-AI-App hat ein neues Modell geliefert. Die Übernahme lässt sich rückgängig machen.</translation>
    </message>
    <message>
        <source>Roll back</source>
        <translation>Zurückrollen</translation>
    </message>
    <message>
        <source>Promote</source>
        <translation>Übernehmen</translation>
    </message>
    <message>
        <source>Restart required after promoting.</source>
        <translation>Nach der Übernahme ist ein Neustart nötig.</translation>
    </message>
    <message>
        <source>The running engine doesn&apos;t hot-swap models — use the Status tab to restart when you&apos;re ready.</source>
        <translation>Die laufende Engine wechselt Modelle nicht im Betrieb — starten Sie im Tab „Status“ neu, wenn Sie bereit sind.</translation>
    </message>
    <message>
        <source>Rollback history</source>
        <translation>Verlauf zum Zurückrollen</translation>
    </message>
    <message>
        <source>Most recent first. Rollback restores the top entry and asks you to restart.</source>
        <translation>Neueste zuerst. Zurückrollen stellt den obersten Eintrag wieder her und bittet um einen Neustart.</translation>
    </message>
    <message>
        <source>Roll back to this</source>
        <translation>Hierauf zurückrollen</translation>
    </message>
</context>
<context>
    <name>tavrin::NetworkTab</name>
    <message>
        <source>Currently exposed</source>
        <translation>Derzeit erreichbar</translation>
    </message>
    <message>
        <source>A live picture of what your server is accepting connections from.</source>
        <translation>Ein aktuelles Bild davon, von wo Ihr Server Verbindungen annimmt.</translation>
    </message>
    <message>
        <source>Allow other machines on the local network to connect</source>
        <translation>Andere Geräte im lokalen Netzwerk verbinden lassen</translation>
    </message>
    <message>
        <source>Binds the server to 0.0.0.0 instead of 127.0.0.1. Anyone with a valid API key on your network can reach it.</source>
        <translation>Bindet den Server an 0.0.0.0 statt 127.0.0.1. Jeder mit gültigem API-Schlüssel in Ihrem Netzwerk kann ihn erreichen.</translation>
    </message>
    <message>
        <source>Bind host</source>
        <translation>Bind-Adresse</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>BIND HOST</source>
        <translation>BIND-ADRESSE</translation>
    </message>
    <message>
        <source>PORT</source>
        <translation>PORT</translation>
    </message>
    <message>
        <source>mDNS name</source>
        <translation>mDNS-Name</translation>
    </message>
    <message>
        <source>MDNS NAME · OPTIONAL</source>
        <translation>MDNS-NAME · OPTIONAL</translation>
    </message>
    <message>
        <source>Broadcast a friendly hostname like tavrin-server.local so colleagues don&apos;t have to remember an IP.</source>
        <translation>Verbreiten Sie einen einprägsamen Hostnamen wie tavrin-server.local, damit sich Kollegen keine IP merken müssen.</translation>
    </message>
    <message>
        <source>Advanced — CORS &amp; IP allowlist</source>
        <translation>Erweitert — CORS &amp; IP-Positivliste</translation>
    </message>
    <message>
        <source>CORS ALLOWED ORIGINS</source>
        <translation>ERLAUBTE CORS-URSPRÜNGE</translation>
    </message>
    <message>
        <source>CORS allowed origins</source>
        <translation>Erlaubte CORS-Ursprünge</translation>
    </message>
    <message>
        <source>One per line. Leave empty to deny browser cross-origin requests. Only matters if you call the API from a web app.</source>
        <translation>Einer pro Zeile. Leer lassen, um ursprungsübergreifende Browser-Anfragen abzulehnen. Nur wichtig, wenn Sie die API aus einer Web-App aufrufen.</translation>
    </message>
    <message>
        <source>IP ALLOWLIST</source>
        <translation>IP-POSITIVLISTE</translation>
    </message>
    <message>
        <source>IP allowlist</source>
        <translation>IP-Positivliste</translation>
    </message>
    <message>
        <source>One per line. Empty means any device with a valid API key. Use this to lock the server to specific subnets.</source>
        <translation>Eine pro Zeile. Leer heißt: jedes Gerät mit gültigem API-Schlüssel. Damit beschränken Sie den Server auf bestimmte Subnetze.</translation>
    </message>
    <message>
        <source>Changes apply when the server restarts.</source>
        <translation>Änderungen gelten nach einem Neustart des Servers.</translation>
    </message>
    <message>
        <source>Save changes</source>
        <translation>Änderungen speichern</translation>
    </message>
</context>
<context>
    <name>tavrin::OrgPreambleTab</name>
    <message>
        <source>Server unreachable</source>
        <translation>Server nicht erreichbar</translation>
    </message>
    <message>
        <source>Start the server first.</source>
        <translation>Starten Sie zuerst den Server.</translation>
    </message>
    <message>
        <source>Org Preamble</source>
        <translation>Org-Vorspann</translation>
    </message>
    <message>
        <source>A short, persistent instruction prepended to every request to the server. Use it to set context about who you are, what jurisdiction you operate in, or what tone you want — without re-stating it in each conversation.</source>
        <translation>Eine kurze, dauerhafte Anweisung, die jeder Anfrage an den Server vorangestellt wird. Damit legen Sie fest, wer Sie sind, in welchem Rechtsraum Sie tätig sind oder welchen Ton Sie wünschen — ohne es in jedem Gespräch zu wiederholen.</translation>
    </message>
    <message>
        <source>Org preamble</source>
        <translation>Organisationsvorspann</translation>
    </message>
    <message>
        <source>The KV cache is disabled while a preamble is set — expect slightly slower time-to-first-token in exchange for the persistent context.</source>
        <translation>Solange ein Vorspann gesetzt ist, ist der KV-Cache aus — rechnen Sie für den dauerhaften Kontext mit etwas mehr Zeit bis zum ersten Token.</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <source>Save preamble</source>
        <translation>Vorspann speichern</translation>
    </message>
</context>
<context>
    <name>tavrin::StatusChip</name>
    <message>
        <source>Server</source>
        <translation>Server</translation>
    </message>
</context>
<context>
    <name>tavrin::StatusTab</name>
    <message>
        <source>Technical details</source>
        <translation>Technische Details</translation>
    </message>
    <message>
        <source>Localhost</source>
        <translation>Localhost</translation>
    </message>
    <message>
        <source>LAN</source>
        <translation>LAN</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>Modell</translation>
    </message>
    <message>
        <source>Hardware</source>
        <translation>Hardware</translation>
    </message>
    <message>
        <source>Concurrency</source>
        <translation>Parallelität</translation>
    </message>
    <message>
        <source>Start at login</source>
        <translation>Bei Anmeldung starten</translation>
    </message>
    <message>
        <source>Remove login service…</source>
        <translation>Anmeldedienst entfernen…</translation>
    </message>
    <message>
        <source>Stop the Tavrin server and remove its login service?</source>
        <translation>Tavrin-Server stoppen und seinen Anmeldedienst entfernen?</translation>
    </message>
    <message>
        <source>The server will stop and its login service will be deleted. You&apos;ll need to re-run setup to bring it back.</source>
        <translation>Der Server wird gestoppt und sein Anmeldedienst gelöscht. Um ihn zurückzuholen, müssen Sie die Einrichtung wiederholen.</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
</context>
<context>
    <name>tavrin::TRCopyButton</name>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
</context>
<context>
    <name>tavrin::TRElidedText</name>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
</context>
<context>
    <name>tavrin::TREndpointList</name>
    <message>
        <source>Copy address on %1</source>
        <extracomment>Name of a copy button; %1 is the address caption, e.g. &quot;LAN&quot; or &quot;mDNS&quot;.</extracomment>
        <translation>Adresse auf %1 kopieren</translation>
    </message>
</context>
<context>
    <name>tavrin::TRLoadChart</name>
    <message>
        <source>in flight</source>
        <translation>in Arbeit</translation>
    </message>
    <message>
        <source>queued</source>
        <translation>wartend</translation>
    </message>
    <message>
        <source>last 10 min</source>
        <translation>letzte 10 Min.</translation>
    </message>
</context>
<context>
    <name>tavrin::TRPhaseBlock</name>
    <message>
        <source>Phase</source>
        <translation>Phase</translation>
    </message>
</context>
<context>
    <name>tavrin::TRProgressIndicator</name>
    <message>
        <source>Loading</source>
        <translation>Wird geladen</translation>
    </message>
</context>
<context>
    <name>tavrin::TRSidebarList</name>
    <message>
        <source>Sections</source>
        <translation>Bereiche</translation>
    </message>
</context>
<context>
    <name>tavrin::TRStepRail</name>
    <message>
        <source>Steps</source>
        <translation>Schritte</translation>
    </message>
    <message>
        <source>STEPS</source>
        <translation>SCHRITTE</translation>
    </message>
</context>
<context>
    <name>tavrin::TrayPanel</name>
    <message>
        <source>Endpoints</source>
        <translation>Endpunkte</translation>
    </message>
    <message>
        <source>Daemon not reachable</source>
        <translation>Dienst nicht erreichbar</translation>
    </message>
    <message>
        <source>Server state</source>
        <translation>Serverzustand</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>Modell</translation>
    </message>
    <message>
        <source>Uptime</source>
        <translation>Laufzeit</translation>
    </message>
    <message>
        <source>In flight</source>
        <translation>In Arbeit</translation>
    </message>
    <message>
        <source>Actions</source>
        <translation>Aktionen</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Re-run setup…</source>
        <translation>Einrichtung wiederholen…</translation>
    </message>
</context>
<context>
    <name>tavrin::UpdatesTab</name>
    <message>
        <source>UPDATE AVAILABLE</source>
        <translation>AKTUALISIERUNG VERFÜGBAR</translation>
    </message>
    <message>
        <source>Download &amp; verify</source>
        <translation>Laden &amp; prüfen</translation>
    </message>
    <message>
        <source>Each release ships with an ed25519 signature; the server refuses to stage anything that doesn&apos;t verify.</source>
        <translation>Jede Version kommt mit einer ed25519-Signatur; der Server stellt nichts bereit, was sich nicht prüfen lässt.</translation>
    </message>
    <message>
        <source>Verification details</source>
        <translation>Prüfdetails</translation>
    </message>
    <message>
        <source>pkg URL</source>
        <translation>Paket-URL</translation>
    </message>
    <message>
        <source>SHA-256</source>
        <translation>SHA-256</translation>
    </message>
    <message>
        <source>Signature</source>
        <translation>Signatur</translation>
    </message>
    <message>
        <source>ed25519 · verified against pinned public key</source>
        <translation>ed25519 · geprüft gegen den hinterlegten öffentlichen Schlüssel</translation>
    </message>
    <message>
        <source>Show in Folder</source>
        <translation>Im Ordner zeigen</translation>
    </message>
    <message>
        <source>Delete download</source>
        <translation>Download löschen</translation>
    </message>
    <message>
        <source>The installer runs separately</source>
        <translation>Die Installation läuft getrennt</translation>
    </message>
    <message>
        <source>Installing stays with your system&apos;s package installer, which asks for your password. After download we show the package in its folder — open it to install.</source>
        <translation>Installiert wird mit dem Paketinstaller Ihres Systems, der nach Ihrem Passwort fragt. Nach dem Download zeigen wir das Paket in seinem Ordner — öffnen Sie es zum Installieren.</translation>
    </message>
    <message>
        <source>UP TO DATE</source>
        <translation>AKTUELL</translation>
    </message>
    <message>
        <source>Currently installed</source>
        <translation>Derzeit installiert</translation>
    </message>
    <message>
        <source>VERSION</source>
        <translation>VERSION</translation>
    </message>
    <message>
        <source>CHANNEL</source>
        <translation>KANAL</translation>
    </message>
    <message>
        <source>LAST CHECKED</source>
        <translation>ZULETZT GEPRÜFT</translation>
    </message>
</context>
<context>
    <name>tavrin::WizardAdminSecret</name>
    <message>
        <source>An admin password, just for this computer.</source>
        <translation>Ein Administratorpasswort, nur für diesen Computer.</translation>
    </message>
    <message>
        <source>This is the password the Tavrin app uses to manage its own server — starting, stopping, switching models. It stays in this computer&apos;s keyring. It is never sent over the network.</source>
        <translation>Mit diesem Passwort verwaltet die Tavrin-App ihren eigenen Server — starten, stoppen, Modelle wechseln. Es bleibt im Schlüsselbund dieses Computers und wird nie über das Netzwerk gesendet.</translation>
    </message>
    <message>
        <source>Generated for you</source>
        <translation>Für Sie erzeugt</translation>
    </message>
    <message>
        <source>Admin password</source>
        <translation>Administratorpasswort</translation>
    </message>
    <message>
        <source>Generate a new password</source>
        <translation>Neues Passwort erzeugen</translation>
    </message>
    <message>
        <source>Use my own password instead</source>
        <translation>Stattdessen eigenes Passwort verwenden</translation>
    </message>
    <message>
        <source>Password (16+ characters)</source>
        <translation>Passwort (mind. 16 Zeichen)</translation>
    </message>
    <message>
        <source>Confirm password</source>
        <translation>Passwort bestätigen</translation>
    </message>
    <message>
        <source>PASSWORD (16+ CHARACTERS)</source>
        <translation>PASSWORT (MIND. 16 ZEICHEN)</translation>
    </message>
    <message>
        <source>CONFIRM</source>
        <translation>BESTÄTIGEN</translation>
    </message>
    <message>
        <source>Save this to your password manager before you continue. You can reset it any time from Diagnostics.</source>
        <translation>Speichern Sie es in Ihrem Passwortmanager, bevor Sie fortfahren. Unter „Diagnose“ können Sie es jederzeit zurücksetzen.</translation>
    </message>
    <message>
        <source>Save &amp; continue →</source>
        <translation>Speichern &amp; weiter →</translation>
    </message>
    <message>
        <source>Admin password copied</source>
        <translation>Administratorpasswort kopiert</translation>
    </message>
    <message>
        <source>Copy admin password</source>
        <translation>Administratorpasswort kopieren</translation>
    </message>
    <message>
        <source>Passwords don&apos;t match.</source>
        <translation>Die Passwörter stimmen nicht überein.</translation>
    </message>
</context>
<context>
    <name>tavrin::WizardDone</name>
    <message>
        <source>all set.</source>
        <translation>startklar.</translation>
    </message>
    <message>
        <source>YOUR SERVER IS</source>
        <translation>IHR SERVER IST</translation>
    </message>
    <message>
        <source>LIVE.</source>
        <translation>IN BETRIEB.</translation>
    </message>
    <message>
        <source>Your endpoint and your first API key are below. Run the curl command to make sure everything talks to everything.</source>
        <translation>Ihr Endpunkt und Ihr erster API-Schlüssel stehen unten. Führen Sie den curl-Befehl aus, um zu prüfen, dass alles zusammenspielt.</translation>
    </message>
    <message>
        <source>Your endpoint</source>
        <translation>Ihr Endpunkt</translation>
    </message>
    <message>
        <source>Localhost</source>
        <translation>Localhost</translation>
    </message>
    <message>
        <source>LAN</source>
        <translation>LAN</translation>
    </message>
    <message>
        <source>First API key</source>
        <translation>Erster API-Schlüssel</translation>
    </message>
    <message>
        <source>We&apos;ll create a key labeled &quot;First key&quot; for you. You can rename or create more from the API Keys tab.</source>
        <translation>Wir erstellen für Sie einen Schlüssel mit der Bezeichnung „First key“. Im Tab „API-Schlüssel“ können Sie ihn umbenennen oder weitere erstellen.</translation>
    </message>
    <message>
        <source>Creating…</source>
        <translation>Wird erstellt…</translation>
    </message>
    <message>
        <source>Create first key</source>
        <translation>Ersten Schlüssel erstellen</translation>
    </message>
    <message>
        <source>SAVE THIS KEY NOW · IT WON&apos;T BE SHOWN AGAIN</source>
        <translation>SPEICHERN SIE DIESEN SCHLÜSSEL JETZT · ER WIRD NICHT ERNEUT ANGEZEIGT</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Copy first API key</source>
        <translation>Ersten API-Schlüssel kopieren</translation>
    </message>
    <message>
        <source>SMOKE TEST</source>
        <translation>SCHNELLTEST</translation>
    </message>
    <message>
        <source>Paste this into a terminal to verify</source>
        <translation>Zum Prüfen in ein Terminal einfügen</translation>
    </message>
    <message>
        <source>Copy test command</source>
        <translation>Testbefehl kopieren</translation>
    </message>
    <message>
        <source>Need to start over?</source>
        <translation>Von vorn beginnen?</translation>
    </message>
    <message>
        <source>Re-run setup</source>
        <translation>Einrichtung wiederholen</translation>
    </message>
    <message>
        <source>Open Tavrin Keldmarch →</source>
        <translation>Tavrin Keldmarch öffnen →</translation>
    </message>
</context>
<context>
    <name>tavrin::WizardReadiness</name>
    <message>
        <source>Let&apos;s make sure this computer is up to it.</source>
        <translation>Prüfen wir, ob dieser Computer bereit ist.</translation>
    </message>
    <message>
        <source>Two checks: the free Tavrin AI model bundle needs to be on this computer (we use its model file), and your computer needs enough horsepower to run it well.</source>
        <translation>Zwei Prüfungen: Das kostenlose Tavrin-AI-Modellpaket muss auf diesem Computer liegen (wir nutzen seine Modelldatei), und Ihr Computer braucht genug Leistung, um es gut zu betreiben.</translation>
    </message>
    <message>
        <source>Continue →</source>
        <translation>Weiter →</translation>
    </message>
    <message>
        <source>Put the Tavrin AI model bundle in this folder, or choose the folder that holds it, then click Check again.</source>
        <translation>Legen Sie das Tavrin-AI-Modellpaket in diesen Ordner oder wählen Sie den Ordner, der es enthält, und klicken Sie dann auf „Erneut prüfen“.</translation>
    </message>
    <message>
        <source>Check again</source>
        <translation>Erneut prüfen</translation>
    </message>
    <message>
        <source>Open Folder</source>
        <translation>Ordner öffnen</translation>
    </message>
    <message>
        <source>Browse…</source>
        <translation>Durchsuchen…</translation>
    </message>
    <message>
        <source>Checking hardware…</source>
        <translation>Hardware wird geprüft…</translation>
    </message>
    <message>
        <source>Choose the folder that holds model.safetensors</source>
        <translation>Wählen Sie den Ordner mit model.safetensors</translation>
    </message>
</context>
<context>
    <name>tavrin::WizardSetupStart</name>
    <message>
        <source>Choose how it runs, then start it.</source>
        <translation>Legen Sie fest, wie er läuft, und starten Sie ihn.</translation>
    </message>
    <message>
        <source>These choices are reversible from the Status and Network tabs.</source>
        <translation>Diese Wahl können Sie in den Tabs „Status“ und „Netzwerk“ jederzeit ändern.</translation>
    </message>
    <message>
        <source>Who can reach this server?</source>
        <translation>Wer kann diesen Server erreichen?</translation>
    </message>
    <message>
        <source>Localhost only is the safe default. LAN exposes it to other devices on your network.</source>
        <translation>Nur Localhost ist die sichere Voreinstellung. LAN macht ihn für andere Geräte in Ihrem Netzwerk erreichbar.</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>Just this computer</source>
        <translation>Nur dieser Computer</translation>
    </message>
    <message>
        <source>My whole network</source>
        <translation>Mein ganzes Netzwerk</translation>
    </message>
    <message>
        <source>0.0.0.0 binding · LAN clients with API key</source>
        <translation>Bindung an 0.0.0.0 · LAN-Clients mit API-Schlüssel</translation>
    </message>
    <message>
        <source>Start automatically when you log in</source>
        <translation>Bei der Anmeldung automatisch starten</translation>
    </message>
    <message>
        <source>systemd will start the server in the background every time you sign in.</source>
        <translation>systemd startet den Server bei jeder Anmeldung im Hintergrund.</translation>
    </message>
    <message>
        <source>Off means you&apos;ll start it manually from the Status tab. Either way the tray icon stays.</source>
        <translation>Aus heißt: Sie starten ihn selbst im Tab „Status“. Das Symbol im Systembereich bleibt in jedem Fall.</translation>
    </message>
    <message>
        <source>It runs as you, not as root: nothing to approve.</source>
        <translation>Er läuft als Sie, nicht als root: nichts zu bestätigen.</translation>
    </message>
    <message>
        <source>Continue →</source>
        <translation>Weiter →</translation>
    </message>
</context>
<context>
    <name>tavrin::WizardStepView</name>
    <message>
        <source>← Back</source>
        <translation>← Zurück</translation>
    </message>
</context>
<context>
    <name>tavrin::WizardWelcome</name>
    <message>
        <source>welcome, organizer</source>
        <translation>willkommen, Organisator</translation>
    </message>
    <message>
        <source>BUILD YOUR OWN</source>
        <translation>BAUEN SIE IHRE EIGENE</translation>
    </message>
    <message>
        <source>KELDMARCH AI.</source>
        <translation>KELDMARCH AI.</translation>
    </message>
    <message>
        <source>Tavrin Keldmarch turns this computer into an AI server for your team. About six minutes of setup, and you&apos;ll be running on localhost. No cloud account, no data leaving the machine.</source>
        <translation>Tavrin Keldmarch macht diesen Computer zum KI-Server für Ihr Team. Etwa sechs Minuten Einrichtung, dann läuft alles auf localhost. Kein Cloud-Konto, keine Daten verlassen den Rechner.</translation>
    </message>
    <message>
        <source>We&apos;ll find the free Tavrin AI app</source>
        <translation>Wir finden die kostenlose Tavrin-AI-App</translation>
    </message>
    <message>
        <source>The Keldmarch server uses its model. If you don&apos;t have it yet, we&apos;ll show you where it goes.</source>
        <translation>Der Keldmarch-Server nutzt ihr Modell. Falls Sie sie noch nicht haben, zeigen wir Ihnen, wohin sie gehört.</translation>
    </message>
    <message>
        <source>You&apos;ll set an admin password for this computer</source>
        <translation>Sie legen ein Administratorpasswort für diesen Computer fest</translation>
    </message>
    <message>
        <source>It lets this app start, stop and manage its own server. It stays on this computer.</source>
        <translation>Damit kann diese App ihren eigenen Server starten, stoppen und verwalten. Es bleibt auf diesem Computer.</translation>
    </message>
    <message>
        <source>We&apos;ll start the server &amp; hand you an API key</source>
        <translation>Wir starten den Server &amp; geben Ihnen einen API-Schlüssel</translation>
    </message>
    <message>
        <source>You&apos;ll leave with a working endpoint and a one-line curl command to test it.</source>
        <translation>Am Ende haben Sie einen funktionierenden Endpunkt und einen einzeiligen curl-Befehl zum Testen.</translation>
    </message>
    <message>
        <source>Your data stays on this computer. Always.</source>
        <translation>Ihre Daten bleiben auf diesem Computer. Immer.</translation>
    </message>
    <message>
        <source>Begin setup →</source>
        <translation>Einrichtung beginnen →</translation>
    </message>
</context>
</TS>
