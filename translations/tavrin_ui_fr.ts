<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>ConfirmDestructive</name>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>DiagnosticsTabLogic</name>
    <message>
        <source>State directory</source>
        <translation>Dossier d’état</translation>
    </message>
    <message>
        <source>Server log</source>
        <translation>Journal du serveur</translation>
    </message>
    <message>
        <source>Error log</source>
        <translation>Journal des erreurs</translation>
    </message>
</context>
<context>
    <name>EngineCardLogic</name>
    <message>
        <source>First token in %1 ms · whole answer in %2 ms.</source>
        <translation>Premier jeton en %1&#xa0;ms · réponse complète en %2&#xa0;ms.</translation>
    </message>
</context>
<context>
    <name>KeysTabLogic</name>
    <message>
        <source>%1 of unlimited active · %2 revoked · %3 total</source>
        <translation>Actives&#xa0;: %1 (sans limite) · révoquées&#xa0;: %2 · total&#xa0;: %3</translation>
    </message>
    <message>
        <source>e.g. Quillterm — Maya&apos;s laptop</source>
        <translation>p. ex. Quillterm — portable de Maya</translation>
    </message>
    <message>
        <source>No keys yet. Create one above.</source>
        <translation>Aucune clé pour l’instant. Créez-en une ci-dessus.</translation>
    </message>
    <message>
        <source>Inference</source>
        <translation>Inférence</translation>
    </message>
    <message>
        <source>Can call /v1/chat/completions, /v1/models, /api/chat, /api/generate.</source>
        <translation>Peut appeler /v1/chat/completions, /v1/models, /api/chat et /api/generate.</translation>
    </message>
    <message>
        <source>Read-only</source>
        <translation>Lecture seule</translation>
    </message>
    <message>
        <source>Can list models but cannot generate text. Useful for monitoring or audit-only integrations.</source>
        <translation>Peut lister les modèles mais pas générer de texte. Utile pour la supervision ou les intégrations limitées à l’audit.</translation>
    </message>
    <message>
        <source>Active</source>
        <translation>Active</translation>
    </message>
    <message>
        <source>Revoked</source>
        <translation>Révoquée</translation>
    </message>
    <message>
        <source>Last used %1</source>
        <translation>Dernière utilisation&#xa0;: %1</translation>
    </message>
    <message>
        <source>never</source>
        <translation>jamais</translation>
    </message>
    <message numerus="yes">
        <source>%1 request(s)</source>
        <extracomment>%1 is the number of requests, written as the language writes numbers.</extracomment>
        <translation>
            <numerusform>%1 requête</numerusform>
            <numerusform>%1 requêtes</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>LogsTabLogic</name>
    <message>
        <source>7 days</source>
        <translation>7&#xa0;jours</translation>
    </message>
    <message>
        <source>30 days</source>
        <translation>30&#xa0;jours</translation>
    </message>
    <message>
        <source>90 days</source>
        <translation>90&#xa0;jours</translation>
    </message>
    <message>
        <source>365 days</source>
        <translation>365&#xa0;jours</translation>
    </message>
    <message>
        <source>Active</source>
        <translation>Actif</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>Par défaut</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Aucun</translation>
    </message>
    <message>
        <source>Nothing is logged. The server keeps no record of who called it or what they asked.</source>
        <translation>Rien n’est journalisé. Le serveur ne garde aucune trace de qui l’a appelé ni de ce qui a été demandé.</translation>
    </message>
    <message>
        <source>Standard</source>
        <extracomment>The tag of the middle logging mode, beside &quot;Default&quot; and &quot;Compliance&quot;.</extracomment>
        <translation>Standard</translation>
    </message>
    <message>
        <source>Privacy</source>
        <translation>Confidentialité</translation>
    </message>
    <message>
        <source>Timestamps, key ID, response time, token counts. No prompts, no responses.</source>
        <translation>Horodatages, ID de clé, temps de réponse, nombre de jetons. Ni prompts, ni réponses.</translation>
    </message>
    <message>
        <source>Compliance</source>
        <translation>Conformité</translation>
    </message>
    <message>
        <source>Audit</source>
        <translation>Audit</translation>
    </message>
    <message>
        <source>Everything in Privacy, plus prompt and response text. Required for many regulated contexts.</source>
        <translation>Tout ce que retient «&#xa0;Confidentialité&#xa0;», plus le texte des prompts et des réponses. Exigé dans de nombreux secteurs réglementés.</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>%1 enregistré</translation>
    </message>
</context>
<context>
    <name>ModelsTabLogic</name>
    <message>
        <source>No model loaded</source>
        <translation>Aucun modèle chargé</translation>
    </message>
    <message>
        <source>Not loaded</source>
        <translation>Non chargé</translation>
    </message>
    <message>
        <source>Imported %1</source>
        <translation>Importé le %1</translation>
    </message>
    <message>
        <source> · from Tavrin AI %1</source>
        <translation> · de Tavrin AI %1</translation>
    </message>
    <message>
        <source>Healthy</source>
        <translation>Opérationnel</translation>
    </message>
    <message>
        <source>Adapter ✓</source>
        <translation>Adaptateur ✓</translation>
    </message>
    <message>
        <source>Steering ✓</source>
        <translation>Pilotage ✓</translation>
    </message>
    <message>
        <source>System prompt ✓</source>
        <translation>Prompt système ✓</translation>
    </message>
    <message>
        <source>Base model only</source>
        <translation>Modèle de base seul</translation>
    </message>
    <message>
        <source>Alias</source>
        <translation>Alias</translation>
    </message>
    <message>
        <source>Pipeline version</source>
        <translation>Version du pipeline</translation>
    </message>
    <message>
        <source>SHA-256</source>
        <translation>SHA-256</translation>
    </message>
    <message>
        <source>Staged path</source>
        <translation>Chemin du modèle préparé</translation>
    </message>
    <message>
        <source>Source app version</source>
        <translation>Version de l’application source</translation>
    </message>
    <message>
        <source>From Tavrin AI %1</source>
        <translation>De Tavrin AI %1</translation>
    </message>
    <message>
        <source>imported %1</source>
        <translation>importé le %1</translation>
    </message>
    <message>
        <source>pipeline %1</source>
        <translation>pipeline %1</translation>
    </message>
    <message>
        <source>%1 is ready to promote</source>
        <translation>%1 est prêt pour la production</translation>
    </message>
    <message>
        <source>staged</source>
        <extracomment>A model delivered and waiting to be promoted to production.</extracomment>
        <translation>préparé</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>Précédent</translation>
    </message>
    <message>
        <source>First install</source>
        <translation>Première installation</translation>
    </message>
    <message>
        <source>Promoted %1</source>
        <translation>Mis en production le %1</translation>
    </message>
</context>
<context>
    <name>NetworkTabLogic</name>
    <message>
        <source>This computer</source>
        <translation>Cet ordinateur</translation>
    </message>
    <message>
        <source>Localhost</source>
        <translation>Localhost</translation>
    </message>
    <message>
        <source>Apps on this computer (127.0.0.1) can reach the server. Always on.</source>
        <translation>Les applications de cet ordinateur (127.0.0.1) peuvent joindre le serveur. Toujours actif.</translation>
    </message>
    <message>
        <source>Your network</source>
        <translation>Votre réseau</translation>
    </message>
    <message>
        <source>LAN — disabled</source>
        <translation>LAN — désactivé</translation>
    </message>
    <message>
        <source>Toggle below to expose the server to other machines on this network.</source>
        <translation>Activez l’option ci-dessous pour exposer le serveur aux autres machines de ce réseau.</translation>
    </message>
    <message>
        <source>LAN — Wi-Fi &amp; Ethernet</source>
        <translation>LAN — Wi-Fi et Ethernet</translation>
    </message>
    <message>
        <source>Other devices on Wi-Fi can reach http://%1:%2</source>
        <translation>http://%1:%2 est joignable depuis les autres appareils du Wi-Fi</translation>
    </message>
</context>
<context>
    <name>OrgPreambleTabLogic</name>
    <message>
        <source>%1 / %2 characters</source>
        <translation>%1 / %2 caractères</translation>
    </message>
</context>
<context>
    <name>PhaseLook</name>
    <message>
        <source>Unknown</source>
        <translation>Inconnu</translation>
    </message>
    <message>
        <source>Checking…</source>
        <translation>Vérification…</translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation>Arrêté</translation>
    </message>
    <message>
        <source>Running</source>
        <translation>En marche</translation>
    </message>
    <message>
        <source>Admin password required</source>
        <translation>Mot de passe administrateur requis</translation>
    </message>
    <message>
        <source>Error: %1</source>
        <translation>Erreur&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>ServerFigures</name>
    <message>
        <source>%1h %2m</source>
        <extracomment>Server uptime: %1 whole hours, %2 minutes.</extracomment>
        <translation>%1&#xa0;h %2&#xa0;min</translation>
    </message>
    <message>
        <source>%1 GB</source>
        <translation>%1&#xa0;Go</translation>
    </message>
    <message>
        <source>Copy localhost endpoint</source>
        <translation>Copier le point d’accès localhost</translation>
    </message>
    <message>
        <source>Copy LAN endpoint</source>
        <translation>Copier le point d’accès LAN</translation>
    </message>
    <message>
        <source>Copy model hash</source>
        <translation>Copier l’empreinte du modèle</translation>
    </message>
</context>
<context>
    <name>StatusScreens</name>
    <message>
        <source>Could not write %1</source>
        <translation>Impossible d’écrire %1</translation>
    </message>
    <message>
        <source>Could not create %1</source>
        <translation>Impossible de créer %1</translation>
    </message>
</context>
<context>
    <name>StatusTabLogic</name>
    <message>
        <source>Your server is stopped.</source>
        <translation>Votre serveur est arrêté.</translation>
    </message>
    <message>
        <source>Start it whenever you need it. The Tavrin app launches in the background and the tray icon stays visible.</source>
        <translation>Démarrez-le quand vous en avez besoin. L’application Tavrin se lance en arrière-plan et son icône reste visible dans la zone de notification.</translation>
    </message>
    <message>
        <source>Your Tavrin server is live.</source>
        <translation>Votre serveur Tavrin est en service.</translation>
    </message>
    <message>
        <source>One computer, two endpoints, no surveillance. Everything below reflects what the server is doing right now.</source>
        <translation>Un ordinateur, deux points d’accès, aucune surveillance. Tout ce qui suit reflète ce que fait le serveur en ce moment.</translation>
    </message>
    <message>
        <source>Admin password required.</source>
        <translation>Mot de passe administrateur requis.</translation>
    </message>
    <message>
        <source>Set the admin password in Diagnostics ▸ Admin password to take control of the server.</source>
        <translation>Définissez le mot de passe administrateur dans Diagnostic ▸ Mot de passe administrateur pour prendre le contrôle du serveur.</translation>
    </message>
    <message>
        <source>Your server hit an error.</source>
        <translation>Votre serveur a rencontré une erreur.</translation>
    </message>
    <message>
        <source>The login service is not running.</source>
        <translation>Le service de connexion ne fonctionne pas.</translation>
    </message>
    <message>
        <source>Uptime · %1</source>
        <translation>En service depuis %1</translation>
    </message>
    <message>
        <source>PID %1</source>
        <translation>PID %1</translation>
    </message>
    <message>
        <source>Set the admin password in Diagnostics ▸ Admin password.</source>
        <translation>Définissez le mot de passe administrateur dans Diagnostic ▸ Mot de passe administrateur.</translation>
    </message>
    <message>
        <source>Stop server</source>
        <translation>Arrêter le serveur</translation>
    </message>
    <message>
        <source>Start server</source>
        <translation>Démarrer le serveur</translation>
    </message>
    <message>
        <source>disabled · enable in Network tab</source>
        <translation>désactivé · à activer dans l’onglet «&#xa0;Réseau&#xa0;»</translation>
    </message>
    <message>
        <source>Server not loaded</source>
        <translation>Serveur non chargé</translation>
    </message>
    <message>
        <source>Adapter</source>
        <translation>Adaptateur</translation>
    </message>
    <message>
        <source>Steering</source>
        <translation>Pilotage</translation>
    </message>
    <message>
        <source>System prompt</source>
        <translation>Prompt système</translation>
    </message>
    <message>
        <source>Base model only</source>
        <translation>Modèle de base seul</translation>
    </message>
    <message>
        <source>%1 loaded</source>
        <translation>Chargés&#xa0;: %1</translation>
    </message>
    <message>
        <source>Not loaded</source>
        <translation>Non chargé</translation>
    </message>
    <message>
        <source>Start the server to see live load.</source>
        <translation>Démarrez le serveur pour voir la charge en direct.</translation>
    </message>
    <message>
        <source>%1 in flight · %2 queued</source>
        <translation>%1 en cours · %2 en attente</translation>
    </message>
    <message>
        <source>503 above %1 · completed %2 since start</source>
        <translation>503 au-delà de %1 · %2 terminées depuis le démarrage</translation>
    </message>
    <message>
        <source>PID</source>
        <translation>PID</translation>
    </message>
    <message>
        <source>Copy PID</source>
        <translation>Copier le PID</translation>
    </message>
    <message>
        <source>Pipeline version</source>
        <translation>Version du pipeline</translation>
    </message>
    <message>
        <source>Copy pipeline version</source>
        <translation>Copier la version du pipeline</translation>
    </message>
    <message>
        <source>Model SHA-256</source>
        <translation>SHA-256 du modèle</translation>
    </message>
    <message>
        <source>State directory</source>
        <translation>Dossier d’état</translation>
    </message>
    <message>
        <source>Copy state directory</source>
        <translation>Copier le dossier d’état</translation>
    </message>
    <message>
        <source>Engine address</source>
        <translation>Adresse du moteur</translation>
    </message>
    <message>
        <source>Copy engine address</source>
        <translation>Copier l’adresse du moteur</translation>
    </message>
    <message>
        <source>Engine error</source>
        <translation>Erreur du moteur</translation>
    </message>
    <message>
        <source>Max concurrency</source>
        <translation>Simultanéité max.</translation>
    </message>
    <message>
        <source>Max queue depth</source>
        <translation>File d’attente max.</translation>
    </message>
    <message>
        <source>%1 (HTTP 503 above)</source>
        <translation>%1 (HTTP 503 au-delà)</translation>
    </message>
    <message>
        <source>Rejected (busy)</source>
        <translation>Refusées (serveur occupé)</translation>
    </message>
    <message>
        <source>Audit records dropped</source>
        <translation>Entrées d’audit perdues</translation>
    </message>
    <message>
        <source>%1 (the audit log reached its size limit)</source>
        <translation>%1 (le journal d’audit a atteint sa taille maximale)</translation>
    </message>
    <message>
        <source>Server version</source>
        <translation>Version du serveur</translation>
    </message>
    <message>
        <source>Copy server version</source>
        <translation>Copier la version du serveur</translation>
    </message>
    <message>
        <source>systemd will start the Tavrin server every time you sign in.</source>
        <translation>systemd démarrera le serveur Tavrin à chacune de vos connexions.</translation>
    </message>
    <message>
        <source>Currently off. You&apos;ll start the server manually from this tab.</source>
        <translation>Actuellement désactivé. Vous démarrerez le serveur vous-même depuis cet onglet.</translation>
    </message>
    <message>
        <source>No readings of the load in the last 10 minutes yet.</source>
        <translation>Pas encore de mesure de la charge sur les 10 dernières minutes.</translation>
    </message>
    <message>
        <source>In flight over the last 10 minutes: peak %1, now %2. Queued: peak %3, now %4.</source>
        <translation>En cours sur les 10 dernières minutes&#xa0;: pic %1, maintenant %2. En attente&#xa0;: pic %3, maintenant %4.</translation>
    </message>
    <message>
        <source>Upstream model %1</source>
        <translation>Modèle amont %1</translation>
    </message>
    <message numerus="yes">
        <source>%n generation(s)</source>
        <translation>
            <numerusform>%n génération</numerusform>
            <numerusform>%n générations</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TRStepRail</name>
    <message>
        <source>Step %1 of %2, done</source>
        <translation>Étape %1 sur %2, terminée</translation>
    </message>
    <message>
        <source>Step %1 of %2, current step</source>
        <translation>Étape %1 sur %2, étape en cours</translation>
    </message>
    <message>
        <source>Step %1 of %2, not reached yet</source>
        <translation>Étape %1 sur %2, pas encore atteinte</translation>
    </message>
</context>
<context>
    <name>TabCatalogue</name>
    <message>
        <source>Status</source>
        <translation>État</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Serveur</translation>
    </message>
    <message>
        <source>Tools to start, monitor, and tune the Tavrin server running on this computer.</source>
        <translation>Des outils pour démarrer, surveiller et régler le serveur Tavrin de cet ordinateur.</translation>
    </message>
    <message>
        <source>API Keys</source>
        <translation>Clés d’API</translation>
    </message>
    <message>
        <source>Access</source>
        <translation>Accès</translation>
    </message>
    <message>
        <source>API keys</source>
        <translation>Clés d’API</translation>
    </message>
    <message>
        <source>Every request to your server needs a key. Keys are shown once when you make them — we only keep a hashed copy.</source>
        <translation>Chaque requête à votre serveur nécessite une clé. Une clé n’est affichée qu’une fois, à sa création — nous n’en gardons qu’une empreinte.</translation>
    </message>
    <message>
        <source>Models</source>
        <translation>Modèles</translation>
    </message>
    <message>
        <source>Engine</source>
        <translation>Moteur</translation>
    </message>
    <message>
        <source>Tavrin runs one model at a time. The free Tavrin app delivers updates, and you decide when production switches.</source>
        <translation>Tavrin fait tourner un seul modèle à la fois. L’application gratuite Tavrin livre les mises à jour, et c’est vous qui décidez quand la production bascule.</translation>
    </message>
    <message>
        <source>Logs</source>
        <translation>Journaux</translation>
    </message>
    <message>
        <source>Auditing</source>
        <translation>Audit</translation>
    </message>
    <message>
        <source>What this server remembers</source>
        <translation>Ce que ce serveur retient</translation>
    </message>
    <message>
        <source>Tavrin doesn&apos;t log anything by default. Turn on logging only if you need request metadata for billing or compliance.</source>
        <translation>Par défaut, Tavrin ne journalise rien. N’activez la journalisation que si vous avez besoin des métadonnées des requêtes pour la facturation ou la conformité.</translation>
    </message>
    <message>
        <source>Network</source>
        <translation>Réseau</translation>
    </message>
    <message>
        <source>Exposure</source>
        <translation>Exposition</translation>
    </message>
    <message>
        <source>Who can reach this server?</source>
        <translation>Qui peut joindre ce serveur&#xa0;?</translation>
    </message>
    <message>
        <source>Localhost is always on. LAN access requires explicit opt-in. The public internet is never recommended — use Tailscale or another VPN for remote staff.</source>
        <translation>Localhost est toujours actif. L’accès LAN doit être activé explicitement. L’accès depuis Internet est toujours déconseillé — pour le personnel à distance, utilisez Tailscale ou un autre VPN.</translation>
    </message>
    <message>
        <source>Org Preamble</source>
        <translation>Préambule</translation>
    </message>
    <message>
        <source>Policy</source>
        <translation>Règles</translation>
    </message>
    <message>
        <source>Org preamble</source>
        <translation>Préambule de l’organisation</translation>
    </message>
    <message>
        <source>One instruction, prepended to every request this server answers.</source>
        <translation>Une instruction placée en tête de chaque requête à laquelle ce serveur répond.</translation>
    </message>
    <message>
        <source>Updates</source>
        <translation>Mises à jour</translation>
    </message>
    <message>
        <source>Maintenance</source>
        <translation>Maintenance</translation>
    </message>
    <message>
        <source>Tavrin Keldmarch ships through a signed channel. Every release carries an ed25519 signature — the server refuses anything that doesn&apos;t verify.</source>
        <translation>Tavrin Keldmarch est distribué par un canal signé. Chaque version porte une signature ed25519 — le serveur refuse tout ce qui ne se vérifie pas.</translation>
    </message>
    <message>
        <source>Diagnostics</source>
        <translation>Diagnostic</translation>
    </message>
    <message>
        <source>Tools for when something is wrong. Most of these you&apos;ll never need to touch.</source>
        <translation>Des outils pour quand quelque chose ne va pas. Vous n’aurez sans doute jamais besoin de la plupart d’entre eux.</translation>
    </message>
</context>
<context>
    <name>TrayPanel</name>
    <message>
        <source>Tavrin Keldmarch menu</source>
        <translation>Menu Tavrin Keldmarch</translation>
    </message>
</context>
<context>
    <name>TrayPanelLogic</name>
    <message>
        <source>not loaded</source>
        <translation>non chargé</translation>
    </message>
    <message>
        <source>%1 / %2 max</source>
        <extracomment>Generations running now (%1) out of the most allowed at once (%2).</extracomment>
        <translation>%1 / %2 max.</translation>
    </message>
    <message>
        <source>Update available · %1</source>
        <translation>Mise à jour disponible · %1</translation>
    </message>
    <message>
        <source>Stop server</source>
        <translation>Arrêter le serveur</translation>
    </message>
    <message>
        <source>Start server</source>
        <translation>Démarrer le serveur</translation>
    </message>
    <message>
        <source>Open Tavrin Keldmarch…</source>
        <translation>Ouvrir Tavrin Keldmarch…</translation>
    </message>
    <message>
        <source>Quit Tavrin Keldmarch</source>
        <translation>Quitter Tavrin Keldmarch</translation>
    </message>
</context>
<context>
    <name>UpdatesTabLogic</name>
    <message>
        <source>Released %1 · %2 channel</source>
        <translation>Publiée le %1 · canal %2</translation>
    </message>
    <message>
        <source>No release notes published.</source>
        <translation>Aucune note de version publiée.</translation>
    </message>
    <message>
        <source>What&apos;s in %1</source>
        <translation>Nouveautés de %1</translation>
    </message>
    <message>
        <source>v%1</source>
        <extracomment>A version as the Updates tab shows it, e.g. &quot;v1.4.2&quot;.</extracomment>
        <translation>v%1</translation>
    </message>
    <message>
        <source>never</source>
        <translation>jamais</translation>
    </message>
    <message>
        <source>Latest stable on the %1 channel · last checked %2</source>
        <translation>Dernière version stable · canal %1 · dernière vérification&#xa0;: %2</translation>
    </message>
    <message>
        <source>Checking…</source>
        <translation>Vérification…</translation>
    </message>
    <message>
        <source>Check now</source>
        <translation>Vérifier maintenant</translation>
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
        <translation>Processeur non 64&#xa0;bits</translation>
    </message>
    <message>
        <source>64-bit processor</source>
        <translation>Processeur 64&#xa0;bits</translation>
    </message>
    <message>
        <source>Welcome</source>
        <translation>Bienvenue</translation>
    </message>
    <message>
        <source>Machine readiness</source>
        <translation>Vérification de la machine</translation>
    </message>
    <message>
        <source>Admin password</source>
        <translation>Mot de passe administrateur</translation>
    </message>
    <message>
        <source>Set up &amp; start</source>
        <translation>Configurer et démarrer</translation>
    </message>
    <message>
        <source>You&apos;re set</source>
        <translation>C’est prêt</translation>
    </message>
    <message>
        <source>Step %1 of %2 · %3</source>
        <translation>Étape %1 sur %2 · %3</translation>
    </message>
    <message>
        <source>Tavrin AI app found</source>
        <translation>Application Tavrin AI trouvée</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>Prêt</translation>
    </message>
    <message>
        <source>Looking for Tavrin AI</source>
        <translation>Recherche de Tavrin AI</translation>
    </message>
    <message>
        <source>Not found</source>
        <translation>Introuvable</translation>
    </message>
    <message>
        <source>Checking…</source>
        <translation>Vérification…</translation>
    </message>
    <message>
        <source> RAM</source>
        <translation> de RAM</translation>
    </message>
    <message>
        <source> · simulated host, not this machine</source>
        <translation> · machine simulée, pas celle-ci</translation>
    </message>
    <message>
        <source>Supported</source>
        <translation>Pris en charge</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Avertissement</translation>
    </message>
    <message>
        <source>Unsupported</source>
        <translation>Non pris en charge</translation>
    </message>
    <message>
        <source>Concurrent generations</source>
        <translation>Générations simultanées</translation>
    </message>
    <message>
        <source>Recommended ceiling</source>
        <translation>Plafond recommandé</translation>
    </message>
    <message>
        <source>Queue before 503</source>
        <translation>File d’attente avant&#xa0;503</translation>
    </message>
    <message>
        <source>Default backpressure</source>
        <translation>Contre-pression par défaut</translation>
    </message>
    <message>
        <source>Support status</source>
        <translation>Prise en charge</translation>
    </message>
    <message>
        <source>Copied</source>
        <translation>Copié</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copier</translation>
    </message>
    <message>
        <source>43 characters, 256 bits of randomness: far beyond guessing. Safe to keep in a password manager or a team vault.</source>
        <translation>43 caractères, 256 bits d’aléa&#xa0;: impossible à deviner. Peut être conservé sans risque dans un gestionnaire de mots de passe ou un coffre-fort d’équipe.</translation>
    </message>
    <message>
        <source>Starting…</source>
        <translation>Démarrage…</translation>
    </message>
    <message>
        <source>Server is running</source>
        <translation>Le serveur fonctionne</translation>
    </message>
    <message>
        <source>Start Tavrin Keldmarch</source>
        <translation>Démarrer Tavrin Keldmarch</translation>
    </message>
    <message>
        <source>127.0.0.1 only · port %1</source>
        <translation>127.0.0.1 uniquement · port %1</translation>
    </message>
    <message>
        <source>Server started. It&apos;ll start automatically next time you log in.</source>
        <translation>Serveur démarré. Il démarrera automatiquement à votre prochaine connexion.</translation>
    </message>
    <message>
        <source>Server started for this session. Start it from the Status tab next time.</source>
        <translation>Serveur démarré pour cette session. La prochaine fois, démarrez-le depuis l’onglet «&#xa0;État&#xa0;».</translation>
    </message>
</context>
<context>
    <name>tavrin::DiagnosticsTab</name>
    <message>
        <source>Generate a support bundle</source>
        <translation>Créer une archive d’assistance</translation>
    </message>
    <message>
        <source>Zips the hardware summary, audit metadata and recent log output for the support team. Prompt contents are redacted by default.</source>
        <translation>Rassemble dans un ZIP le résumé matériel, les métadonnées d’audit et les dernières lignes de journal pour l’équipe d’assistance. Le contenu des prompts est masqué par défaut.</translation>
    </message>
    <message>
        <source>Include prompt contents</source>
        <translation>Inclure le contenu des prompts</translation>
    </message>
    <message>
        <source>(only if Audit logging is on)</source>
        <translation>(seulement si la journalisation d’audit est activée)</translation>
    </message>
    <message>
        <source>Generate bundle</source>
        <translation>Créer l’archive</translation>
    </message>
    <message>
        <source>Admin password</source>
        <translation>Mot de passe administrateur</translation>
    </message>
    <message>
        <source>This computer&apos;s keyring holds the password the Tavrin app uses to manage its own server (start, stop, switch model). It never leaves this machine.</source>
        <translation>Le trousseau de clés de cet ordinateur contient le mot de passe avec lequel l’application Tavrin gère son propre serveur (démarrer, arrêter, changer de modèle). Il ne quitte jamais cette machine.</translation>
    </message>
    <message>
        <source>Saved to keyring</source>
        <translation>Enregistré dans le trousseau de clés</translation>
    </message>
    <message>
        <source>SET OR CHANGE PASSWORD</source>
        <translation>DÉFINIR OU CHANGER LE MOT DE PASSE</translation>
    </message>
    <message>
        <source>New admin password</source>
        <translation>Nouveau mot de passe administrateur</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Effacer</translation>
    </message>
    <message>
        <source>If you lose it, reset it here. The server keeps running — only the GUI&apos;s admin commands need a matching password.</source>
        <translation>Si vous le perdez, réinitialisez-le ici. Le serveur continue de tourner — seules les commandes d’administration de l’interface exigent le mot de passe correspondant.</translation>
    </message>
    <message>
        <source>Files &amp; folders</source>
        <translation>Fichiers et dossiers</translation>
    </message>
    <message>
        <source>Open the directories Tavrin uses for state, logs, and errors.</source>
        <translation>Ouvrez les dossiers que Tavrin utilise pour son état, ses journaux et ses erreurs.</translation>
    </message>
    <message>
        <source>Show in Folder</source>
        <translation>Afficher dans le dossier</translation>
    </message>
    <message>
        <source>Show in Folder: %1</source>
        <translation>Afficher dans le dossier&#xa0;: %1</translation>
    </message>
    <message>
        <source>Re-run first-run setup</source>
        <translation>Relancer la configuration initiale</translation>
    </message>
    <message>
        <source>Walks through the prerequisite, password, network and install steps of setup again — useful to reinstall the login agent or re-test the install path. Your keys and logs are not deleted.</source>
        <translation>Reprend les étapes de la configuration (prérequis, mot de passe, réseau et installation) — utile pour réinstaller le service de connexion ou revérifier le chemin d’installation. Vos clés et vos journaux ne sont pas supprimés.</translation>
    </message>
    <message>
        <source>Re-run setup</source>
        <translation>Relancer la configuration</translation>
    </message>
    <message>
        <source>Re-run first-run setup?</source>
        <translation>Relancer la configuration initiale&#xa0;?</translation>
    </message>
    <message>
        <source>This relaunches the setup wizard. Your existing keys and the server&apos;s state are preserved.</source>
        <translation>L’assistant de configuration va se relancer. Vos clés existantes et l’état du serveur sont conservés.</translation>
    </message>
</context>
<context>
    <name>tavrin::EndpointBox</name>
    <message>
        <source>Copy %1</source>
        <extracomment>Name of a copy button; %1 is the endpoint&apos;s caption, e.g. &quot;Localhost&quot;.</extracomment>
        <translation>Copier %1</translation>
    </message>
</context>
<context>
    <name>tavrin::EngineCard</name>
    <message>
        <source>Engine</source>
        <translation>Moteur</translation>
    </message>
    <message>
        <source>Where the answers come from. Keys, usage, the audit log and the preamble stay with this server, whichever engine answers.</source>
        <translation>D’où viennent les réponses. Les clés, l’utilisation, le journal d’audit et le préambule restent sur ce serveur, quel que soit le moteur qui répond.</translation>
    </message>
    <message>
        <source>Built-in echo</source>
        <translation>Écho intégré</translation>
    </message>
    <message>
        <source>OpenAI-compatible</source>
        <translation>Compatible OpenAI</translation>
    </message>
    <message>
        <source>The built-in echo engine answers each request by repeating it. It needs nothing else, which makes it the engine for trying the server out.</source>
        <translation>Le moteur d’écho intégré répond à chaque requête en la répétant. Il n’a besoin de rien d’autre, ce qui en fait le moteur idéal pour essayer le serveur.</translation>
    </message>
    <message>
        <source>Base URL</source>
        <translation>URL de base</translation>
    </message>
    <message>
        <source>BASE URL</source>
        <translation>URL DE BASE</translation>
    </message>
    <message>
        <source>The model to ask for</source>
        <translation>Le modèle à demander</translation>
    </message>
    <message>
        <source>Upstream model</source>
        <translation>Modèle amont</translation>
    </message>
    <message>
        <source>The model&apos;s own name</source>
        <translation>Le nom propre du modèle</translation>
    </message>
    <message>
        <source>Name clients see</source>
        <translation>Nom vu par les clients</translation>
    </message>
    <message>
        <source>UPSTREAM MODEL</source>
        <translation>MODÈLE AMONT</translation>
    </message>
    <message>
        <source>NAME CLIENTS SEE · OPTIONAL</source>
        <translation>NOM VU PAR LES CLIENTS · FACULTATIF</translation>
    </message>
    <message>
        <source>No key</source>
        <translation>Aucune clé</translation>
    </message>
    <message>
        <source>Key file</source>
        <translation>Fichier de clé</translation>
    </message>
    <message>
        <source>Browse…</source>
        <translation>Parcourir…</translation>
    </message>
    <message>
        <source>Choose the key file</source>
        <translation>Choisir le fichier de clé</translation>
    </message>
    <message>
        <source>KEY FILE · OPTIONAL</source>
        <translation>FICHIER DE CLÉ · FACULTATIF</translation>
    </message>
    <message>
        <source>A file of yours, mode 0600, holding the engine&apos;s API key. The server reads the key from it; the key itself is never shown or saved.</source>
        <translation>Un fichier à vous, en mode 0600, contenant la clé d’API du moteur. Le serveur y lit la clé&#xa0;; la clé elle-même n’est jamais affichée ni enregistrée.</translation>
    </message>
    <message>
        <source>Request timeout in seconds</source>
        <translation>Délai d’attente de la requête en secondes</translation>
    </message>
    <message>
        <source>REQUEST TIMEOUT · SECONDS</source>
        <translation>DÉLAI D’ATTENTE · SECONDES</translation>
    </message>
    <message>
        <source>TEST ANSWER</source>
        <translation>RÉPONSE DE TEST</translation>
    </message>
    <message>
        <source>Test answer</source>
        <translation>Réponse de test</translation>
    </message>
    <message>
        <source>Test engine asks the engine in use, as last saved, to say hello.</source>
        <translation>«&#xa0;Tester le moteur&#xa0;» demande au moteur en service, dans sa dernière configuration enregistrée, de dire bonjour.</translation>
    </message>
    <message>
        <source>Test engine</source>
        <translation>Tester le moteur</translation>
    </message>
    <message>
        <source>Save engine</source>
        <translation>Enregistrer le moteur</translation>
    </message>
    <message>
        <source>In use: %1</source>
        <translation>En service&#xa0;: %1</translation>
    </message>
    <message>
        <source>Choose the file that holds the engine&apos;s API key</source>
        <translation>Choisir le fichier contenant la clé d’API du moteur</translation>
    </message>
</context>
<context>
    <name>tavrin::FirstRunWizardView</name>
    <message>
        <source>First-run setup · ~6 minutes</source>
        <translation>Configuration initiale · env.&#xa0;6&#xa0;min</translation>
    </message>
</context>
<context>
    <name>tavrin::IssuedKeyBanner</name>
    <message>
        <source>SAVE THIS KEY NOW · IT WILL NOT BE SHOWN AGAIN</source>
        <translation>ENREGISTREZ CETTE CLÉ MAINTENANT · ELLE NE SERA PLUS AFFICHÉE</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copier</translation>
    </message>
    <message>
        <source>Copy key %1</source>
        <translation>Copier la clé %1</translation>
    </message>
</context>
<context>
    <name>tavrin::KVRow</name>
    <message>
        <source>Copy %1</source>
        <extracomment>Name of a copy button; %1 is the row&apos;s label, e.g. &quot;State directory&quot;.</extracomment>
        <translation>Copier %1</translation>
    </message>
</context>
<context>
    <name>tavrin::KeldmarchSidebar</name>
    <message>
        <source>SERVER</source>
        <translation>SERVEUR</translation>
    </message>
    <message>
        <source>PINNED MODEL</source>
        <translation>MODÈLE FIXÉ</translation>
    </message>
</context>
<context>
    <name>tavrin::KeyListRow</name>
    <message>
        <source>Revoke</source>
        <translation>Révoquer</translation>
    </message>
    <message>
        <source>Rotate</source>
        <translation>Renouveler</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>Revoke key %1</source>
        <translation>Révoquer la clé %1</translation>
    </message>
    <message>
        <source>Rotate key %1</source>
        <translation>Renouveler la clé %1</translation>
    </message>
    <message>
        <source>Delete key %1</source>
        <translation>Supprimer la clé %1</translation>
    </message>
</context>
<context>
    <name>tavrin::KeysTab</name>
    <message>
        <source>Create a new key</source>
        <translation>Créer une nouvelle clé</translation>
    </message>
    <message>
        <source>Pick a label so you remember what it&apos;s for.</source>
        <translation>Choisissez un libellé pour vous rappeler à quoi elle sert.</translation>
    </message>
    <message>
        <source>Key label</source>
        <translation>Libellé de la clé</translation>
    </message>
    <message>
        <source>Create key</source>
        <translation>Créer la clé</translation>
    </message>
    <message>
        <source>SCOPE</source>
        <translation>PORTÉE</translation>
    </message>
    <message>
        <source>Scope</source>
        <translation>Portée</translation>
    </message>
    <message>
        <source>Your keys</source>
        <translation>Vos clés</translation>
    </message>
    <message>
        <source>Sort: last used</source>
        <translation>Tri&#xa0;: dernière utilisation</translation>
    </message>
</context>
<context>
    <name>tavrin::LogsTab</name>
    <message>
        <source>Logging mode</source>
        <translation>Mode de journalisation</translation>
    </message>
    <message>
        <source>Pick what you want recorded. Each mode is more permissive than the one to its left.</source>
        <translation>Choisissez ce qui doit être enregistré. Chaque mode est plus permissif que celui à sa gauche.</translation>
    </message>
    <message>
        <source>KEEP RECORDS FOR</source>
        <translation>CONSERVER LES ENTRÉES PENDANT</translation>
    </message>
    <message>
        <source>Retention</source>
        <translation>Conservation</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Audit mode stores prompt and response text.</source>
        <translation>Le mode Audit enregistre le texte des prompts et des réponses.</translation>
    </message>
    <message>
        <source>Make sure your retention settings comply with your organization&apos;s data handling policy.</source>
        <translation>Assurez-vous que votre durée de conservation respecte la politique de traitement des données de votre organisation.</translation>
    </message>
    <message>
        <source>Include prompt contents in diagnostic exports</source>
        <translation>Inclure le contenu des prompts dans les exports de diagnostic</translation>
    </message>
    <message>
        <source>Even in Audit mode, exports redact prompt text unless this master switch is on. Required for some support bundles.</source>
        <translation>Même en mode Audit, les exports masquent le texte des prompts tant que cet interrupteur général est désactivé. Nécessaire pour certaines archives d’assistance.</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>Save what&apos;s been logged to disk. CSV is request metadata. JSONL contains full audit detail.</source>
        <translation>Enregistrez sur disque ce qui a été journalisé. Le CSV contient les métadonnées des requêtes, le JSONL tout le détail de l’audit.</translation>
    </message>
    <message>
        <source>Save usage CSV</source>
        <translation>Enregistrer le CSV d’utilisation</translation>
    </message>
    <message>
        <source>Save audit JSONL</source>
        <translation>Enregistrer le JSONL d’audit</translation>
    </message>
    <message>
        <source>Include prompt contents</source>
        <translation>Inclure le contenu des prompts</translation>
    </message>
    <message>
        <source>Privacy-mode exports never contain prompt text. JSONL respects the include-contents toggle only when the master switch above is on.</source>
        <translation>Les exports en mode Confidentialité ne contiennent jamais le texte des prompts. Le JSONL ne tient compte de l’option d’inclusion du contenu que si l’interrupteur général ci-dessus est activé.</translation>
    </message>
</context>
<context>
    <name>tavrin::MainWindow</name>
    <message>
        <source>Refresh</source>
        <translation>Actualiser</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>Open State Folder</source>
        <translation>Ouvrir le dossier d’état</translation>
    </message>
    <message>
        <source>Show Status Panel</source>
        <translation>Afficher le panneau d’état</translation>
    </message>
    <message>
        <source>Close Window</source>
        <translation>Fermer la fenêtre</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
</context>
<context>
    <name>tavrin::ModelsTab</name>
    <message>
        <source>Server unreachable</source>
        <translation>Serveur injoignable</translation>
    </message>
    <message>
        <source>Start the server from the Status tab to inspect model state.</source>
        <translation>Démarrez le serveur depuis l’onglet «&#xa0;État&#xa0;» pour consulter l’état du modèle.</translation>
    </message>
    <message>
        <source>LOADED · PRODUCTION</source>
        <translation>CHARGÉ · PRODUCTION</translation>
    </message>
    <message>
        <source>Technical details</source>
        <translation>Détails techniques</translation>
    </message>
    <message>
        <source>The free Tavrin AI app delivered a new model. Promotion is reversible.</source>
        <translation>L’application gratuite Tavrin AI a livré un nouveau modèle. La mise en production est réversible.</translation>
    </message>
    <message>
        <source>Roll back</source>
        <translation>Revenir en arrière</translation>
    </message>
    <message>
        <source>Promote</source>
        <translation>Mettre en production</translation>
    </message>
    <message>
        <source>Restart required after promoting.</source>
        <translation>Redémarrage nécessaire après la mise en production.</translation>
    </message>
    <message>
        <source>The running engine doesn&apos;t hot-swap models — use the Status tab to restart when you&apos;re ready.</source>
        <translation>Le moteur en service ne change pas de modèle à chaud — redémarrez depuis l’onglet «&#xa0;État&#xa0;» quand vous êtes prêt.</translation>
    </message>
    <message>
        <source>Rollback history</source>
        <translation>Historique des versions</translation>
    </message>
    <message>
        <source>Most recent first. Rollback restores the top entry and asks you to restart.</source>
        <translation>Les plus récentes d’abord. Revenir en arrière rétablit l’entrée du haut et vous demande de redémarrer.</translation>
    </message>
    <message>
        <source>Roll back to this</source>
        <translation>Revenir à cette version</translation>
    </message>
</context>
<context>
    <name>tavrin::NetworkTab</name>
    <message>
        <source>Currently exposed</source>
        <translation>Exposition actuelle</translation>
    </message>
    <message>
        <source>A live picture of what your server is accepting connections from.</source>
        <translation>Un aperçu en direct des connexions que votre serveur accepte, et d’où.</translation>
    </message>
    <message>
        <source>Allow other machines on the local network to connect</source>
        <translation>Autoriser les autres machines du réseau local à se connecter</translation>
    </message>
    <message>
        <source>Binds the server to 0.0.0.0 instead of 127.0.0.1. Anyone with a valid API key on your network can reach it.</source>
        <translation>Lie le serveur à 0.0.0.0 au lieu de 127.0.0.1. Toute personne de votre réseau disposant d’une clé d’API valide peut le joindre.</translation>
    </message>
    <message>
        <source>Bind host</source>
        <translation>Adresse d’écoute</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>BIND HOST</source>
        <translation>ADRESSE D’ÉCOUTE</translation>
    </message>
    <message>
        <source>PORT</source>
        <translation>PORT</translation>
    </message>
    <message>
        <source>mDNS name</source>
        <translation>Nom mDNS</translation>
    </message>
    <message>
        <source>MDNS NAME · OPTIONAL</source>
        <translation>NOM MDNS · FACULTATIF</translation>
    </message>
    <message>
        <source>Broadcast a friendly hostname like tavrin-server.local so colleagues don&apos;t have to remember an IP.</source>
        <translation>Annoncez un nom d’hôte facile à retenir, comme tavrin-server.local, pour que vos collègues n’aient pas à mémoriser une adresse IP.</translation>
    </message>
    <message>
        <source>Advanced — CORS &amp; IP allowlist</source>
        <translation>Avancé — CORS et liste d’autorisation IP</translation>
    </message>
    <message>
        <source>CORS ALLOWED ORIGINS</source>
        <translation>ORIGINES CORS AUTORISÉES</translation>
    </message>
    <message>
        <source>CORS allowed origins</source>
        <translation>Origines CORS autorisées</translation>
    </message>
    <message>
        <source>One per line. Leave empty to deny browser cross-origin requests. Only matters if you call the API from a web app.</source>
        <translation>Une par ligne. Laissez vide pour refuser les requêtes multi-origines des navigateurs. Ne compte que si vous appelez l’API depuis une application web.</translation>
    </message>
    <message>
        <source>IP ALLOWLIST</source>
        <translation>LISTE D’AUTORISATION IP</translation>
    </message>
    <message>
        <source>IP allowlist</source>
        <translation>Liste d’autorisation IP</translation>
    </message>
    <message>
        <source>One per line. Empty means any device with a valid API key. Use this to lock the server to specific subnets.</source>
        <translation>Une par ligne. Vide&#xa0;: tout appareil disposant d’une clé d’API valide. Permet de limiter le serveur à certains sous-réseaux.</translation>
    </message>
    <message>
        <source>Changes apply when the server restarts.</source>
        <translation>Les modifications s’appliquent au redémarrage du serveur.</translation>
    </message>
    <message>
        <source>Save changes</source>
        <translation>Enregistrer les modifications</translation>
    </message>
</context>
<context>
    <name>tavrin::OrgPreambleTab</name>
    <message>
        <source>Server unreachable</source>
        <translation>Serveur injoignable</translation>
    </message>
    <message>
        <source>Start the server first.</source>
        <translation>Démarrez d’abord le serveur.</translation>
    </message>
    <message>
        <source>Org Preamble</source>
        <translation>Préambule de l’organisation</translation>
    </message>
    <message>
        <source>A short, persistent instruction prepended to every request to the server. Use it to set context about who you are, what jurisdiction you operate in, or what tone you want — without re-stating it in each conversation.</source>
        <translation>Une instruction courte et permanente, placée en tête de chaque requête adressée au serveur. Utilisez-la pour préciser qui vous êtes, dans quelle juridiction vous exercez ou le ton souhaité — sans avoir à le répéter à chaque conversation.</translation>
    </message>
    <message>
        <source>Org preamble</source>
        <translation>Préambule de l’organisation</translation>
    </message>
    <message>
        <source>The KV cache is disabled while a preamble is set — expect slightly slower time-to-first-token in exchange for the persistent context.</source>
        <translation>Le cache KV est désactivé tant qu’un préambule est défini — attendez-vous à un premier jeton un peu plus lent, en échange du contexte permanent.</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Effacer</translation>
    </message>
    <message>
        <source>Save preamble</source>
        <translation>Enregistrer le préambule</translation>
    </message>
</context>
<context>
    <name>tavrin::StatusChip</name>
    <message>
        <source>Server</source>
        <translation>Serveur</translation>
    </message>
</context>
<context>
    <name>tavrin::StatusTab</name>
    <message>
        <source>Technical details</source>
        <translation>Détails techniques</translation>
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
        <translation>Modèle</translation>
    </message>
    <message>
        <source>Hardware</source>
        <translation>Matériel</translation>
    </message>
    <message>
        <source>Concurrency</source>
        <translation>Simultanéité</translation>
    </message>
    <message>
        <source>Start at login</source>
        <translation>Démarrer à la connexion</translation>
    </message>
    <message>
        <source>Remove login service…</source>
        <translation>Supprimer le service de connexion…</translation>
    </message>
    <message>
        <source>Stop the Tavrin server and remove its login service?</source>
        <translation>Arrêter le serveur Tavrin et supprimer son service de connexion&#xa0;?</translation>
    </message>
    <message>
        <source>The server will stop and its login service will be deleted. You&apos;ll need to re-run setup to bring it back.</source>
        <translation>Le serveur va s’arrêter et son service de connexion sera supprimé. Pour le rétablir, vous devrez relancer la configuration.</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Supprimer</translation>
    </message>
</context>
<context>
    <name>tavrin::TRCopyButton</name>
    <message>
        <source>Copy</source>
        <translation>Copier</translation>
    </message>
</context>
<context>
    <name>tavrin::TRElidedText</name>
    <message>
        <source>Copy</source>
        <translation>Copier</translation>
    </message>
</context>
<context>
    <name>tavrin::TREndpointList</name>
    <message>
        <source>Copy address on %1</source>
        <extracomment>Name of a copy button; %1 is the address caption, e.g. &quot;LAN&quot; or &quot;mDNS&quot;.</extracomment>
        <translation>Copier l’adresse sur %1</translation>
    </message>
</context>
<context>
    <name>tavrin::TRLoadChart</name>
    <message>
        <source>in flight</source>
        <translation>en cours</translation>
    </message>
    <message>
        <source>queued</source>
        <translation>en attente</translation>
    </message>
    <message>
        <source>last 10 min</source>
        <translation>10 dernières min</translation>
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
        <translation>Chargement</translation>
    </message>
</context>
<context>
    <name>tavrin::TRSidebarList</name>
    <message>
        <source>Sections</source>
        <translation>Sections</translation>
    </message>
</context>
<context>
    <name>tavrin::TRStepRail</name>
    <message>
        <source>Steps</source>
        <translation>Étapes</translation>
    </message>
    <message>
        <source>STEPS</source>
        <translation>ÉTAPES</translation>
    </message>
</context>
<context>
    <name>tavrin::TrayPanel</name>
    <message>
        <source>Endpoints</source>
        <translation>Points d’accès</translation>
    </message>
    <message>
        <source>Daemon not reachable</source>
        <translation>Serveur injoignable</translation>
    </message>
    <message>
        <source>Server state</source>
        <translation>État du serveur</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>Modèle</translation>
    </message>
    <message>
        <source>Uptime</source>
        <translation>En service depuis</translation>
    </message>
    <message>
        <source>In flight</source>
        <translation>En cours</translation>
    </message>
    <message>
        <source>Actions</source>
        <translation>Actions</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Actualiser</translation>
    </message>
    <message>
        <source>Re-run setup…</source>
        <translation>Relancer la configuration…</translation>
    </message>
</context>
<context>
    <name>tavrin::UpdatesTab</name>
    <message>
        <source>UPDATE AVAILABLE</source>
        <translation>MISE À JOUR DISPONIBLE</translation>
    </message>
    <message>
        <source>Download &amp; verify</source>
        <translation>Télécharger et vérifier</translation>
    </message>
    <message>
        <source>Each release ships with an ed25519 signature; the server refuses to stage anything that doesn&apos;t verify.</source>
        <translation>Chaque version est livrée avec une signature ed25519&#xa0;; le serveur refuse de préparer tout ce qui ne se vérifie pas.</translation>
    </message>
    <message>
        <source>Verification details</source>
        <translation>Détails de la vérification</translation>
    </message>
    <message>
        <source>pkg URL</source>
        <translation>URL du paquet</translation>
    </message>
    <message>
        <source>SHA-256</source>
        <translation>SHA-256</translation>
    </message>
    <message>
        <source>Signature</source>
        <translation>Signature</translation>
    </message>
    <message>
        <source>ed25519 · verified against pinned public key</source>
        <translation>ed25519 · vérifiée avec la clé publique épinglée</translation>
    </message>
    <message>
        <source>Show in Folder</source>
        <translation>Afficher dans le dossier</translation>
    </message>
    <message>
        <source>Delete download</source>
        <translation>Supprimer le téléchargement</translation>
    </message>
    <message>
        <source>The installer runs separately</source>
        <translation>L’installation se fait à part</translation>
    </message>
    <message>
        <source>Installing stays with your system&apos;s package installer, which asks for your password. After download we show the package in its folder — open it to install.</source>
        <translation>L’installation reste confiée à l’installateur de paquets de votre système, qui vous demande votre mot de passe. Après le téléchargement, nous affichons le paquet dans son dossier — ouvrez-le pour l’installer.</translation>
    </message>
    <message>
        <source>UP TO DATE</source>
        <translation>À JOUR</translation>
    </message>
    <message>
        <source>Currently installed</source>
        <translation>Version installée</translation>
    </message>
    <message>
        <source>VERSION</source>
        <translation>VERSION</translation>
    </message>
    <message>
        <source>CHANNEL</source>
        <translation>CANAL</translation>
    </message>
    <message>
        <source>LAST CHECKED</source>
        <translation>DERNIÈRE VÉRIFICATION</translation>
    </message>
</context>
<context>
    <name>tavrin::WizardAdminSecret</name>
    <message>
        <source>An admin password, just for this computer.</source>
        <translation>Un mot de passe administrateur, rien que pour cet ordinateur.</translation>
    </message>
    <message>
        <source>This is the password the Tavrin app uses to manage its own server — starting, stopping, switching models. It stays in this computer&apos;s keyring. It is never sent over the network.</source>
        <translation>C’est le mot de passe avec lequel l’application Tavrin gère son propre serveur — démarrage, arrêt, changement de modèle. Il reste dans le trousseau de clés de cet ordinateur. Il n’est jamais envoyé sur le réseau.</translation>
    </message>
    <message>
        <source>Generated for you</source>
        <translation>Généré pour vous</translation>
    </message>
    <message>
        <source>Admin password</source>
        <translation>Mot de passe administrateur</translation>
    </message>
    <message>
        <source>Generate a new password</source>
        <translation>Générer un nouveau mot de passe</translation>
    </message>
    <message>
        <source>Use my own password instead</source>
        <translation>Utiliser plutôt mon propre mot de passe</translation>
    </message>
    <message>
        <source>Password (16+ characters)</source>
        <translation>Mot de passe (16 caractères ou plus)</translation>
    </message>
    <message>
        <source>Confirm password</source>
        <translation>Confirmer le mot de passe</translation>
    </message>
    <message>
        <source>PASSWORD (16+ CHARACTERS)</source>
        <translation>MOT DE PASSE (16 CARACTÈRES OU PLUS)</translation>
    </message>
    <message>
        <source>CONFIRM</source>
        <translation>CONFIRMATION</translation>
    </message>
    <message>
        <source>Save this to your password manager before you continue. You can reset it any time from Diagnostics.</source>
        <translation>Enregistrez-le dans votre gestionnaire de mots de passe avant de continuer. Vous pourrez le réinitialiser à tout moment depuis l’onglet «&#xa0;Diagnostic&#xa0;».</translation>
    </message>
    <message>
        <source>Save &amp; continue →</source>
        <translation>Enregistrer et continuer →</translation>
    </message>
    <message>
        <source>Admin password copied</source>
        <translation>Mot de passe administrateur copié</translation>
    </message>
    <message>
        <source>Copy admin password</source>
        <translation>Copier le mot de passe administrateur</translation>
    </message>
    <message>
        <source>Passwords don&apos;t match.</source>
        <translation>Les mots de passe ne correspondent pas.</translation>
    </message>
</context>
<context>
    <name>tavrin::WizardDone</name>
    <message>
        <source>all set.</source>
        <translation>c’est prêt.</translation>
    </message>
    <message>
        <source>YOUR SERVER IS</source>
        <translation>VOTRE SERVEUR EST</translation>
    </message>
    <message>
        <source>LIVE.</source>
        <translation>EN SERVICE.</translation>
    </message>
    <message>
        <source>Your endpoint and your first API key are below. Run the curl command to make sure everything talks to everything.</source>
        <translation>Votre point d’accès et votre première clé d’API sont ci-dessous. Lancez la commande curl pour vérifier que tout communique bien.</translation>
    </message>
    <message>
        <source>Your endpoint</source>
        <translation>Votre point d’accès</translation>
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
        <translation>Première clé d’API</translation>
    </message>
    <message>
        <source>We&apos;ll create a key labeled &quot;First key&quot; for you. You can rename or create more from the API Keys tab.</source>
        <translation>Nous allons créer pour vous une clé nommée «&#xa0;First key&#xa0;». Vous pourrez la renommer ou en créer d’autres dans l’onglet «&#xa0;Clés d’API&#xa0;».</translation>
    </message>
    <message>
        <source>Creating…</source>
        <translation>Création…</translation>
    </message>
    <message>
        <source>Create first key</source>
        <translation>Créer la première clé</translation>
    </message>
    <message>
        <source>SAVE THIS KEY NOW · IT WON&apos;T BE SHOWN AGAIN</source>
        <translation>ENREGISTREZ CETTE CLÉ MAINTENANT · ELLE NE SERA PLUS AFFICHÉE</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copier</translation>
    </message>
    <message>
        <source>Copy first API key</source>
        <translation>Copier la première clé d’API</translation>
    </message>
    <message>
        <source>SMOKE TEST</source>
        <translation>TEST RAPIDE</translation>
    </message>
    <message>
        <source>Paste this into a terminal to verify</source>
        <translation>Collez ceci dans un terminal pour vérifier</translation>
    </message>
    <message>
        <source>Copy test command</source>
        <translation>Copier la commande de test</translation>
    </message>
    <message>
        <source>Need to start over?</source>
        <translation>Besoin de recommencer&#xa0;?</translation>
    </message>
    <message>
        <source>Re-run setup</source>
        <translation>Relancer la configuration</translation>
    </message>
    <message>
        <source>Open Tavrin Keldmarch →</source>
        <translation>Ouvrir Tavrin Keldmarch →</translation>
    </message>
</context>
<context>
    <name>tavrin::WizardReadiness</name>
    <message>
        <source>Let&apos;s make sure this computer is up to it.</source>
        <translation>Vérifions que cet ordinateur est à la hauteur.</translation>
    </message>
    <message>
        <source>Two checks: the free Tavrin AI model bundle needs to be on this computer (we use its model file), and your computer needs enough horsepower to run it well.</source>
        <translation>Deux vérifications&#xa0;: le paquet de modèle gratuit Tavrin AI doit se trouver sur cet ordinateur (nous utilisons son fichier de modèle), et votre ordinateur doit être assez puissant pour bien le faire tourner.</translation>
    </message>
    <message>
        <source>Continue →</source>
        <translation>Continuer →</translation>
    </message>
    <message>
        <source>Put the Tavrin AI model bundle in this folder, or choose the folder that holds it, then click Check again.</source>
        <translation>Placez le paquet de modèle Tavrin AI dans ce dossier, ou choisissez le dossier qui le contient, puis cliquez sur «&#xa0;Vérifier à nouveau&#xa0;».</translation>
    </message>
    <message>
        <source>Check again</source>
        <translation>Vérifier à nouveau</translation>
    </message>
    <message>
        <source>Open Folder</source>
        <translation>Ouvrir le dossier</translation>
    </message>
    <message>
        <source>Browse…</source>
        <translation>Parcourir…</translation>
    </message>
    <message>
        <source>Checking hardware…</source>
        <translation>Vérification du matériel…</translation>
    </message>
    <message>
        <source>Choose the folder that holds model.safetensors</source>
        <translation>Choisissez le dossier qui contient model.safetensors</translation>
    </message>
</context>
<context>
    <name>tavrin::WizardSetupStart</name>
    <message>
        <source>Choose how it runs, then start it.</source>
        <translation>Choisissez comment le serveur fonctionne, puis démarrez-le.</translation>
    </message>
    <message>
        <source>These choices are reversible from the Status and Network tabs.</source>
        <translation>Vous pourrez revenir sur ces choix dans les onglets «&#xa0;État&#xa0;» et «&#xa0;Réseau&#xa0;».</translation>
    </message>
    <message>
        <source>Who can reach this server?</source>
        <translation>Qui peut joindre ce serveur&#xa0;?</translation>
    </message>
    <message>
        <source>Localhost only is the safe default. LAN exposes it to other devices on your network.</source>
        <translation>Localhost seul est le choix sûr par défaut. LAN l’expose aux autres appareils de votre réseau.</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>Par défaut</translation>
    </message>
    <message>
        <source>Just this computer</source>
        <translation>Cet ordinateur seulement</translation>
    </message>
    <message>
        <source>My whole network</source>
        <translation>Tout mon réseau</translation>
    </message>
    <message>
        <source>0.0.0.0 binding · LAN clients with API key</source>
        <translation>Écoute sur 0.0.0.0 · clients LAN munis d’une clé d’API</translation>
    </message>
    <message>
        <source>Start automatically when you log in</source>
        <translation>Démarrer automatiquement à la connexion</translation>
    </message>
    <message>
        <source>systemd will start the server in the background every time you sign in.</source>
        <translation>systemd démarrera le serveur en arrière-plan à chacune de vos connexions.</translation>
    </message>
    <message>
        <source>Off means you&apos;ll start it manually from the Status tab. Either way the tray icon stays.</source>
        <translation>Si l’option est désactivée, vous le démarrerez vous-même depuis l’onglet «&#xa0;État&#xa0;». Dans les deux cas, l’icône reste dans la zone de notification.</translation>
    </message>
    <message>
        <source>It runs as you, not as root: nothing to approve.</source>
        <translation>Il tourne sous votre compte, pas en root&#xa0;: rien à approuver.</translation>
    </message>
    <message>
        <source>Continue →</source>
        <translation>Continuer →</translation>
    </message>
</context>
<context>
    <name>tavrin::WizardStepView</name>
    <message>
        <source>← Back</source>
        <translation>← Retour</translation>
    </message>
</context>
<context>
    <name>tavrin::WizardWelcome</name>
    <message>
        <source>welcome, organizer</source>
        <translation>bienvenue, organisateur</translation>
    </message>
    <message>
        <source>BUILD YOUR OWN</source>
        <translation>CRÉEZ VOTRE PROPRE</translation>
    </message>
    <message>
        <source>KELDMARCH AI.</source>
        <translation>IA KELDMARCH.</translation>
    </message>
    <message>
        <source>Tavrin Keldmarch turns this computer into an AI server for your team. About six minutes of setup, and you&apos;ll be running on localhost. No cloud account, no data leaving the machine.</source>
        <translation>Tavrin Keldmarch transforme cet ordinateur en serveur d’IA pour votre équipe. Environ six minutes de configuration, et tout tourne sur localhost. Aucun compte cloud, aucune donnée ne quitte la machine.</translation>
    </message>
    <message>
        <source>We&apos;ll find the free Tavrin AI app</source>
        <translation>Nous trouverons l’application gratuite Tavrin AI</translation>
    </message>
    <message>
        <source>The Keldmarch server uses its model. If you don&apos;t have it yet, we&apos;ll show you where it goes.</source>
        <translation>Le serveur Keldmarch utilise le modèle de cette application. Si vous ne l’avez pas encore, nous vous montrerons où la placer.</translation>
    </message>
    <message>
        <source>You&apos;ll set an admin password for this computer</source>
        <translation>Vous définirez un mot de passe administrateur pour cet ordinateur</translation>
    </message>
    <message>
        <source>It lets this app start, stop and manage its own server. It stays on this computer.</source>
        <translation>Il permet à cette application de démarrer, d’arrêter et de gérer son propre serveur. Il reste sur cet ordinateur.</translation>
    </message>
    <message>
        <source>We&apos;ll start the server &amp; hand you an API key</source>
        <translation>Nous démarrerons le serveur et vous remettrons une clé d’API</translation>
    </message>
    <message>
        <source>You&apos;ll leave with a working endpoint and a one-line curl command to test it.</source>
        <translation>Vous repartirez avec un point d’accès fonctionnel et une commande curl d’une ligne pour le tester.</translation>
    </message>
    <message>
        <source>Your data stays on this computer. Always.</source>
        <translation>Vos données restent sur cet ordinateur. Toujours.</translation>
    </message>
    <message>
        <source>Begin setup →</source>
        <translation>Commencer la configuration →</translation>
    </message>
</context>
</TS>
