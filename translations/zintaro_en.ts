<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="it">
<context>
    <name>Answers</name>
    <message>
        <source>%1,%2 s</source>
        <translation>%1.%2 s</translation>
    </message>
    <message>
        <source>giuste %1 su %2 · %3</source>
        <translation>right %1 of %2 · %3</translation>
    </message>
    <message>
        <source>giuste %1 su %2</source>
        <translation>right %1 of %2</translation>
    </message>
    <message>
        <source>Giuste al primo colpo: %1 %</source>
        <translation>Right at the first try: %1 %</translation>
    </message>
    <message>
        <source>Tempo mediano di risposta: %1</source>
        <translation>Median response time: %1</translation>
    </message>
    <message>
        <source>Note al minuto: %1</source>
        <translation>Notes per minute: %1</translation>
    </message>
    <message>
        <source>Più sbagliate: nessuna</source>
        <translation>Most missed: none</translation>
    </message>
    <message>
        <source>Più sbagliate: %1</source>
        <translation>Most missed: %1</translation>
    </message>
    <message>
        <source>Miglior sessione: %1 % · %2</source>
        <translation>Best session: %1 % · %2</translation>
    </message>
    <message>
        <source>Hai suonato %1 · era %2</source>
        <translation>You played %1 · it was %2</translation>
    </message>
    <message>
        <source>Tastiera: %1–%2</source>
        <translation>Keys: %1–%2</translation>
    </message>
    <message>
        <source>Le risposte non vengono salvate: manca la cartella dei dati</source>
        <translation>Answers are not being saved: there is no data folder</translation>
    </message>
    <message>
        <source>Il più sbagliato: %1</source>
        <translation>Most missed: %1</translation>
    </message>
</context>
<context>
    <name>Certificate</name>
    <message>
        <source>Note giuste al primo tentativo e a tempo: %1 su %2 (%3 %)</source>
        <translation>Notes right at the first try and on time: %1 of %2 (%3 %)</translation>
    </message>
    <message>
        <source>Note giuste al primo tentativo: %1 su %2 (%3 %)</source>
        <translation>Notes right at the first try: %1 of %2 (%3 %)</translation>
    </message>
    <message>
        <source>Attestato</source>
        <translation>Certificate</translation>
    </message>
    <message>
        <source>Studente: %1</source>
        <translation>Student: %1</translation>
    </message>
    <message>
        <source>Esercizio: %1</source>
        <translation>Exercise: %1</translation>
    </message>
    <message>
        <source>Data: %1</source>
        <translation>Date: %1</translation>
    </message>
    <message>
        <source>Soglia per superarlo: %1 %</source>
        <translation>Pass mark: %1 %</translation>
    </message>
    <message>
        <source>Esame superato</source>
        <translation>Exam passed</translation>
    </message>
    <message>
        <source>Esame superato. Vuoi l&apos;attestato?</source>
        <translation>Exam passed. Would you like the certificate?</translation>
    </message>
    <message>
        <source>Il tuo nome, per l&apos;attestato:</source>
        <translation>Your name, for the certificate:</translation>
    </message>
    <message>
        <source>Attestato salvato: %1</source>
        <translation>Certificate saved: %1</translation>
    </message>
</context>
<context>
    <name>Choices</name>
    <message>
        <source>Le scelte salvate sono danneggiate e non si possono mettere da parte (%1): si usano quelle iniziali</source>
        <translation>The saved choices are damaged and cannot be set aside (%1): the first-run choices are used</translation>
    </message>
    <message>
        <source>Le scelte salvate erano danneggiate: si riparte da quelle iniziali (il file è in %1)</source>
        <translation>The saved choices were damaged: starting again from the first-run choices (the file is in %1)</translation>
    </message>
    <message>
        <source>Le scelte non vengono ricordate: manca la cartella di casa</source>
        <translation>Choices are not remembered: there is no home folder</translation>
    </message>
</context>
<context>
    <name>Chords</name>
    <message>
        <source>%1 maggiore</source>
        <translation>%1 major</translation>
    </message>
    <message>
        <source>%1 minore</source>
        <translation>%1 minor</translation>
    </message>
    <message>
        <source>%1 diminuito</source>
        <translation>%1 diminished</translation>
    </message>
    <message>
        <source>%1 aumentato</source>
        <translation>%1 augmented</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>%1 primo rivolto %2</source>
        <translation>%1 first inversion %2</translation>
    </message>
    <message>
        <source>%1 secondo rivolto %2</source>
        <translation>%1 second inversion %2</translation>
    </message>
</context>
<context>
    <name>Compose</name>
    <message>
        <source>La composizione è piena: contiene 1000 elementi, il massimo che può tenere. Non è stato aggiunto nulla.</source>
        <translation>The composition is full: it holds 1000 entries, the most it can keep. Nothing was added.</translation>
    </message>
    <message>
        <source>L&apos;estensione scelta ha troppo poche note per una frase sul pentagramma della composizione, che va da %1 a %2: scegline una più ampia con «Estensione…».</source>
        <translation>The range chosen has too few notes for a phrase on the composition&apos;s staff, which goes from %1 to %2: choose a wider one with “Range…”.</translation>
    </message>
    <message>
        <source>L&apos;estensione scelta ha troppo poche note per una frase in chiave di Fa: scegline una più ampia con «Estensione…».</source>
        <translation>The range chosen has too few notes for a phrase in the bass clef: choose a wider one with “Range…”.</translation>
    </message>
</context>
<context>
    <name>Exam</name>
    <message>
        <source>Superato</source>
        <translation>Passed</translation>
    </message>
    <message>
        <source>Non superato</source>
        <translation>Not passed</translation>
    </message>
    <message>
        <source>Giuste al primo tentativo e a tempo: %1 su %2 (%3 %); giuste ma fuori tempo: %4. Soglia: %5 %.</source>
        <translation>Right at the first try and on time: %1 of %2 (%3 %); right but not on time: %4. Pass mark: %5 %.</translation>
    </message>
    <message>
        <source>Giuste al primo tentativo: %1 su %2 (%3 %). Soglia: %4 %.</source>
        <translation>Right at the first try: %1 of %2 (%3 %). Pass mark: %4 %.</translation>
    </message>
</context>
<context>
    <name>Exercise</name>
    <message>
        <source>non è un esercizio di Zintaro</source>
        <translation>is not a Zintaro exercise</translation>
    </message>
    <message>
        <source>è stato scritto da una versione più recente di Zintaro</source>
        <translation>was written by a newer version of Zintaro</translation>
    </message>
    <message>
        <source>la riga %1 non si capisce: %2</source>
        <translation>line %1 cannot be understood: %2</translation>
    </message>
    <message>
        <source>la riga %1 ripete %2</source>
        <translation>line %1 repeats %2</translation>
    </message>
    <message>
        <source>il brano è scritto in una tonalità o in un tempo che questa versione non conosce</source>
        <translation>the piece is in a key or meter this version does not know</translation>
    </message>
    <message>
        <source>alcune righe del brano non si possono leggere</source>
        <translation>some lines of the piece cannot be read</translation>
    </message>
    <message>
        <source>il brano non ha note</source>
        <translation>the piece has no notes</translation>
    </message>
    <message>
        <source>alla riga %1 la modalità deve essere %2 o %3</source>
        <translation>on line %1 the mode must be %2 or %3</translation>
    </message>
    <message>
        <source>alla riga %1 %2 deve essere un numero da %3 a %4</source>
        <translation>on line %1 %2 must be a number from %3 to %4</translation>
    </message>
    <message>
        <source>manca il brano</source>
        <translation>the piece is missing</translation>
    </message>
    <message>
        <source>Un esercizio ha bisogno di almeno una nota. Non è stato salvato nulla.</source>
        <translation>An exercise needs at least one note. Nothing was saved.</translation>
    </message>
    <message>
        <source>L&apos;esercizio %1 non si è potuto aprire: %2. Non è cambiato nulla.</source>
        <translation>The exercise %1 could not be opened: %2. Nothing was changed.</translation>
    </message>
    <message>
        <source>Esercizio «%1».</source>
        <translation>Exercise “%1”.</translation>
    </message>
    <message>
        <source>Esercizio «%1»: %2</source>
        <translation>Exercise “%1”: %2</translation>
    </message>
    <message>
        <source>Esercizio</source>
        <translation>Exercise</translation>
    </message>
    <message>
        <source>Note singole</source>
        <translation>Single notes</translation>
    </message>
    <message>
        <source>A tempo</source>
        <translation>In time</translation>
    </message>
    <message>
        <source>&amp;Titolo</source>
        <translation>&amp;Title</translation>
    </message>
    <message>
        <source>&amp;Istruzioni</source>
        <translation>&amp;Instructions</translation>
    </message>
    <message>
        <source>&amp;Soglia per superarlo</source>
        <translation>&amp;Pass mark</translation>
    </message>
    <message>
        <source>Note sbagliate &amp;richieste di nuovo</source>
        <translation>Missed notes asked &amp;again</translation>
    </message>
    <message>
        <source>&amp;Battute di attacco</source>
        <translation>&amp;Count-in measures</translation>
    </message>
    <message>
        <source>&amp;Modo</source>
        <translation>&amp;Mode</translation>
    </message>
</context>
<context>
    <name>Files</name>
    <message>
        <source>il file o la cartella non esiste</source>
        <translation>the file or folder does not exist</translation>
    </message>
    <message>
        <source>permesso negato</source>
        <translation>permission denied</translation>
    </message>
    <message>
        <source>il disco è pieno</source>
        <translation>the disk is full</translation>
    </message>
    <message>
        <source>il disco è di sola lettura</source>
        <translation>the disk is read-only</translation>
    </message>
    <message>
        <source>è una cartella</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>una parte del percorso non è una cartella</source>
        <translation>a part of the path is not a folder</translation>
    </message>
    <message>
        <source>il nome è troppo lungo</source>
        <translation>the name is too long</translation>
    </message>
    <message>
        <source>errore di lettura o scrittura del disco</source>
        <translation>the disk could not be read or written</translation>
    </message>
    <message>
        <source>%1 Non è stato salvato nulla.</source>
        <translation>%1 Nothing was saved.</translation>
    </message>
    <message>
        <source>Scrivere prima un nome per la composizione.</source>
        <translation>Type a name for the composition first.</translation>
    </message>
    <message>
        <source>%1 non può essere il nome di una composizione.</source>
        <translation>%1 cannot be the name of a composition.</translation>
    </message>
    <message>
        <source>Il nome di una composizione non può contenere &quot;/&quot; o &quot;\&quot;: le composizioni stanno solo nella cartella files.</source>
        <translation>A composition&apos;s name cannot contain &quot;/&quot; or &quot;\&quot;: compositions are kept in the files folder only.</translation>
    </message>
    <message>
        <source>Il nome di una composizione non può contenere caratteri di controllo.</source>
        <translation>A composition&apos;s name cannot contain control characters.</translation>
    </message>
    <message>
        <source>Il nome è troppo lungo: può avere al massimo %1 byte.</source>
        <translation>The name is too long: it can have at most %1 bytes.</translation>
    </message>
    <message>
        <source>La cartella %1 non si è potuta creare: %2.</source>
        <translation>The folder %1 could not be created: %2.</translation>
    </message>
    <message>
        <source>La composizione %1 non si è potuta caricare: %2. La composizione sul pentagramma è rimasta.</source>
        <translation>The composition %1 could not be loaded: %2. The composition on the staff was kept.</translation>
    </message>
    <message>
        <source>non è un file normale</source>
        <translation>it is not a regular file</translation>
    </message>
    <message>
        <source>%1 non è una composizione di Zintaro. Non è cambiato nulla.</source>
        <translation>%1 is not a Zintaro composition. Nothing was changed.</translation>
    </message>
    <message>
        <source>La composizione %1 è stata caricata; le righe oltre il %3° elemento sono state lasciate fuori.</source>
        <translation>The composition %1 was loaded; the lines past the %3th entry were left out.</translation>
    </message>
    <message>
        <source>La composizione %1 è stata caricata; 1 riga non si è potuta leggere o aveva valori fuori dalle note e dalle durate del pianoforte, ed è stata saltata.</source>
        <translation>The composition %1 was loaded; 1 line could not be read or held values outside the piano&apos;s notes and durations, and was skipped.</translation>
    </message>
    <message>
        <source>La composizione %1 è stata caricata; 1 riga non si è potuta leggere o aveva valori fuori dalle note e dalle durate del pianoforte, ed è stata saltata; le righe oltre il %3° elemento sono state lasciate fuori.</source>
        <translation>The composition %1 was loaded; 1 line could not be read or held values outside the piano&apos;s notes and durations, and was skipped; the lines past the %3th entry were left out.</translation>
    </message>
    <message>
        <source>La composizione %1 è stata caricata; %2 righe non si sono potute leggere o avevano valori fuori dalle note e dalle durate del pianoforte, e sono state saltate.</source>
        <translation>The composition %1 was loaded; %2 lines could not be read or held values outside the piano&apos;s notes and durations, and were skipped.</translation>
    </message>
    <message>
        <source>La composizione %1 è stata caricata; %2 righe non si sono potute leggere o avevano valori fuori dalle note e dalle durate del pianoforte, e sono state saltate; le righe oltre il %3° elemento sono state lasciate fuori.</source>
        <translation>The composition %1 was loaded; %2 lines could not be read or held values outside the piano&apos;s notes and durations, and were skipped; the lines past the %3th entry were left out.</translation>
    </message>
    <message>
        <source>il file è troppo grande</source>
        <translation>the file is too large</translation>
    </message>
    <message>
        <source>manca la cartella di casa (HOME)</source>
        <translation>there is no home folder (HOME)</translation>
    </message>
    <message>
        <source>La composizione %1 è scritta in una tonalità che questa versione di Zintaro non conosce (%2). La composizione sul pentagramma è rimasta.</source>
        <translation>The composition %1 is written in a key this version of Zintaro does not know (%2). The composition on the staff was kept.</translation>
    </message>
    <message>
        <source>La composizione %1 è scritta in un tempo che questa versione di Zintaro non conosce (%2). La composizione sul pentagramma è rimasta.</source>
        <translation>The composition %1 is written in a meter this version of Zintaro does not know (%2). The composition on the staff was kept.</translation>
    </message>
    <message>
        <source>Disco pieno</source>
        <translation>Disk full</translation>
    </message>
    <message>
        <source>Disco di sola lettura</source>
        <translation>Read-only disk</translation>
    </message>
    <message>
        <source>Errore del disco</source>
        <translation>Disk error</translation>
    </message>
    <message>
        <source>Scrittura non riuscita (%1)</source>
        <translation>Writing failed (%1)</translation>
    </message>
    <message>
        <source>%1: la composizione non è stata salvata; quella di prima è intatta</source>
        <translation>%1: the composition was not saved; the earlier one is intact</translation>
    </message>
    <message>
        <source>%1: la composizione non è stata salvata</source>
        <translation>%1: the composition was not saved</translation>
    </message>
    <message>
        <source>%1: il file non è stato esportato; quello di prima è intatto</source>
        <translation>%1: the file was not exported; the earlier one is intact</translation>
    </message>
    <message>
        <source>%1: il file non è stato esportato</source>
        <translation>%1: the file was not exported</translation>
    </message>
    <message>
        <source>%1: le scelte non sono state salvate; quelle di prima sono intatte</source>
        <translation>%1: the choices were not saved; the earlier ones are intact</translation>
    </message>
    <message>
        <source>%1: la copia di sicurezza della composizione non si aggiorna; la composizione sul pentagramma è intatta</source>
        <translation>%1: the composition&apos;s safety copy is not being updated; the composition on the staff is intact</translation>
    </message>
    <message>
        <source>%1: le risposte non sono state scritte; restano in memoria e verranno scritte appena possibile</source>
        <translation>%1: the answers were not written; they are kept in memory and will be written as soon as possible</translation>
    </message>
    <message>
        <source>il file è troppo grande (più di %1 MB)</source>
        <translation>the file is too large (over %1 MB)</translation>
    </message>
    <message>
        <source>%1: l&apos;esercizio non è stato salvato; quello di prima è intatto</source>
        <translation>%1: the exercise was not saved; the earlier one is intact</translation>
    </message>
    <message>
        <source>%1: l&apos;esercizio non è stato salvato</source>
        <translation>%1: the exercise was not saved</translation>
    </message>
</context>
<context>
    <name>Import</name>
    <message>
        <source>non è una partitura MusicXML compressa leggibile</source>
        <translation>it is not a readable compressed MusicXML score</translation>
    </message>
    <message>
        <source>la partitura compressa si espanderebbe oltre %1 MB: non è stata aperta</source>
        <translation>the compressed score would unpack to over %1 MB: it was not opened</translation>
    </message>
    <message>
        <source>la partitura compressa è danneggiata</source>
        <translation>the compressed score is damaged</translation>
    </message>
    <message>
        <source>l&apos;archivio non contiene una partitura MusicXML</source>
        <translation>the archive holds no MusicXML score</translation>
    </message>
    <message>
        <source>Il file %1 non si è potuto importare: %2. Non è cambiato nulla.</source>
        <translation>The file %1 could not be imported: %2. Nothing was changed.</translation>
    </message>
    <message>
        <source>1 accordo ridotto alla nota più alta</source>
        <translation>1 chord reduced to its top note</translation>
    </message>
    <message>
        <source>%1 accordi ridotti alla nota più alta</source>
        <translation>%1 chords reduced to their top note</translation>
    </message>
    <message>
        <source>1 terzina approssimata</source>
        <translation>1 triplet approximated</translation>
    </message>
    <message>
        <source>%1 terzine approssimate</source>
        <translation>%1 triplets approximated</translation>
    </message>
    <message>
        <source>1 gruppo irregolare approssimato</source>
        <translation>1 tuplet approximated</translation>
    </message>
    <message>
        <source>%1 gruppi irregolari approssimati</source>
        <translation>%1 tuplets approximated</translation>
    </message>
    <message>
        <source>1 valore che il pentagramma non scrive approssimato</source>
        <translation>1 value the staff does not write approximated</translation>
    </message>
    <message>
        <source>%1 valori che il pentagramma non scrive approssimati</source>
        <translation>%1 values the staff does not write approximated</translation>
    </message>
    <message>
        <source>1 nota sovrapposta a una più alta tralasciata</source>
        <translation>1 note overlapping a higher one left out</translation>
    </message>
    <message>
        <source>%1 note sovrapposte a una più alta tralasciate</source>
        <translation>%1 notes overlapping a higher one left out</translation>
    </message>
    <message>
        <source>le note dopo le prime %1 lasciate fuori</source>
        <translation>the notes after the first %1 left out</translation>
    </message>
    <message>
        <source>%1; %2</source>
        <translation>%1; %2</translation>
    </message>
    <message>
        <source>Traccia %1</source>
        <translation>Track %1</translation>
    </message>
    <message>
        <source>%1, canale %2</source>
        <translation>%1, channel %2</translation>
    </message>
    <message>
        <source>non è un file MIDI</source>
        <translation>it is not a MIDI file</translation>
    </message>
    <message>
        <source>il file MIDI è di formato 2 (sequenze indipendenti), che non si importa</source>
        <translation>the MIDI file is format 2 (independent sequences), which cannot be imported</translation>
    </message>
    <message>
        <source>il file MIDI non contiene tracce</source>
        <translation>the MIDI file holds no tracks</translation>
    </message>
    <message>
        <source>il file MIDI conta il tempo in fotogrammi, non in battiti</source>
        <translation>the MIDI file counts time in frames, not beats</translation>
    </message>
    <message>
        <source>il file MIDI è danneggiato o incompleto</source>
        <translation>the MIDI file is damaged or incomplete</translation>
    </message>
    <message>
        <source>il file MIDI non contiene note</source>
        <translation>the MIDI file holds no notes</translation>
    </message>
    <message>
        <source>la parte %1 non c&apos;è: il file ne ha %2</source>
        <translation>there is no part %1: the file has %2</translation>
    </message>
    <message>
        <source>non è una partitura MusicXML</source>
        <translation>it is not a MusicXML score</translation>
    </message>
    <message>
        <source>il file MusicXML è danneggiato o incompleto (riga %1)</source>
        <translation>the MusicXML file is damaged or incomplete (line %1)</translation>
    </message>
    <message>
        <source>non contiene parti da importare</source>
        <translation>it holds no parts to import</translation>
    </message>
    <message>
        <source>la parte scelta non contiene note</source>
        <translation>the chosen part holds no notes</translation>
    </message>
    <message>
        <source>Parte %1</source>
        <translation>Part %1</translation>
    </message>
    <message>
        <source>Non si può importare: %1</source>
        <translation>Cannot import: %1</translation>
    </message>
    <message>
        <source>1 nota spostata d&apos;ottava per stare sul pentagramma</source>
        <translation>1 note moved by octaves to fit the staff</translation>
    </message>
    <message>
        <source>%1 note spostate d&apos;ottava per stare sul pentagramma</source>
        <translation>%1 notes moved by octaves to fit the staff</translation>
    </message>
    <message>
        <source>le ultime %1 note e pause lasciate fuori: la composizione ne tiene %2</source>
        <translation>the last %1 notes and rests left out: the composition holds %2</translation>
    </message>
    <message>
        <source>Importato, con qualche cambiamento: %1.</source>
        <translation>Imported, with some changes: %1.</translation>
    </message>
</context>
<context>
    <name>Instruments</name>
    <message>
        <source>Nota giusta, in un&apos;altra ottava</source>
        <translation>Right note, in another octave</translation>
    </message>
    <message>
        <source>Pianoforte</source>
        <translation>Piano</translation>
    </message>
    <message>
        <source>Voce</source>
        <translation>Voice</translation>
    </message>
    <message>
        <source>Flauto</source>
        <translation>Flute</translation>
    </message>
    <message>
        <source>Violino</source>
        <translation>Violin</translation>
    </message>
    <message>
        <source>Chitarra</source>
        <translation>Guitar</translation>
    </message>
    <message>
        <source>Clarinetto in Si♭</source>
        <translation>Clarinet in B♭</translation>
    </message>
    <message>
        <source>Tromba in Si♭</source>
        <translation>Trumpet in B♭</translation>
    </message>
    <message>
        <source>Sax contralto in Mi♭</source>
        <translation>Alto sax in E♭</translation>
    </message>
    <message>
        <source>Corno in Fa</source>
        <translation>Horn in F</translation>
    </message>
</context>
<context>
    <name>Intervals</name>
    <message>
        <source>Seconda diminuita</source>
        <translation>Diminished second</translation>
    </message>
    <message>
        <source>Seconda minore</source>
        <translation>Minor second</translation>
    </message>
    <message>
        <source>Seconda maggiore</source>
        <translation>Major second</translation>
    </message>
    <message>
        <source>Terza diminuita</source>
        <translation>Diminished third</translation>
    </message>
    <message>
        <source>Terza minore</source>
        <translation>Minor third</translation>
    </message>
    <message>
        <source>Terza maggiore</source>
        <translation>Major third</translation>
    </message>
    <message>
        <source>Quarta diminuita</source>
        <translation>Diminished fourth</translation>
    </message>
    <message>
        <source>Quarta giusta</source>
        <translation>Perfect fourth</translation>
    </message>
    <message>
        <source>Quinta diminuita</source>
        <translation>Diminished fifth</translation>
    </message>
    <message>
        <source>Quinta giusta</source>
        <translation>Perfect fifth</translation>
    </message>
    <message>
        <source>Sesta diminuita</source>
        <translation>Diminished sixth</translation>
    </message>
    <message>
        <source>Sesta minore</source>
        <translation>Minor sixth</translation>
    </message>
    <message>
        <source>Sesta maggiore</source>
        <translation>Major sixth</translation>
    </message>
    <message>
        <source>Settima diminuita</source>
        <translation>Diminished seventh</translation>
    </message>
    <message>
        <source>Settima minore</source>
        <translation>Minor seventh</translation>
    </message>
    <message>
        <source>Settima maggiore</source>
        <translation>Major seventh</translation>
    </message>
    <message>
        <source>Ottava diminuita</source>
        <translation>Diminished octave</translation>
    </message>
    <message>
        <source>Ottava giusta</source>
        <translation>Perfect octave</translation>
    </message>
    <message>
        <source>%1 %2–%3</source>
        <translation>%1 %2–%3</translation>
    </message>
    <message>
        <source>Seconda eccedente</source>
        <translation>Augmented second</translation>
    </message>
    <message>
        <source>Terza eccedente</source>
        <translation>Augmented third</translation>
    </message>
    <message>
        <source>Quarta eccedente</source>
        <translation>Augmented fourth</translation>
    </message>
    <message>
        <source>Quinta eccedente</source>
        <translation>Augmented fifth</translation>
    </message>
    <message>
        <source>Sesta eccedente</source>
        <translation>Augmented sixth</translation>
    </message>
    <message>
        <source>Settima eccedente</source>
        <translation>Augmented seventh</translation>
    </message>
    <message>
        <source>Ottava eccedente</source>
        <translation>Augmented octave</translation>
    </message>
</context>
<context>
    <name>Keys</name>
    <message>
        <source>%1 maggiore / %2 minore</source>
        <translation>%1 major / %2 minor</translation>
    </message>
</context>
<context>
    <name>Microphone</name>
    <message>
        <source>Nessun server audio risponde: il microfono non ascolta, si risponde con i tasti.</source>
        <translation>No sound server answers: the microphone is not listening; answer with the keys.</translation>
    </message>
    <message>
        <source>Nessun ingresso audio: il microfono non ascolta, si risponde con i tasti.</source>
        <translation>No audio input: the microphone is not listening; answer with the keys.</translation>
    </message>
    <message>
        <source>L&apos;accesso al microfono è negato: si risponde con i tasti.</source>
        <translation>Access to the microphone is refused: answer with the keys.</translation>
    </message>
    <message>
        <source>L&apos;ingresso audio è scomparso: si risponde con i tasti.</source>
        <translation>The audio input has gone: answer with the keys.</translation>
    </message>
    <message>
        <source>Il microfono non è disponibile: %1</source>
        <translation>The microphone is not available: %1</translation>
    </message>
</context>
<context>
    <name>MidiInput</name>
    <message>
        <source>nessun server JACK è in funzione</source>
        <translation>no JACK server is running</translation>
    </message>
    <message>
        <source>il server JACK ha rifiutato un client</source>
        <translation>the JACK server refused a client</translation>
    </message>
    <message>
        <source>Nessun ingresso MIDI: %1.</source>
        <translation>No MIDI input: %1.</translation>
    </message>
    <message>
        <source>Nessun ingresso MIDI: %1</source>
        <translation>No MIDI input: %1</translation>
    </message>
    <message>
        <source>Nessun ingresso MIDI: la porta non si è potuta creare su %1.</source>
        <translation>No MIDI input: the port could not be made on %1.</translation>
    </message>
    <message>
        <source>Ingresso MIDI: %1, %2:in.</source>
        <translation>MIDI input: %1, %2:in.</translation>
    </message>
    <message>
        <source>Nessun ingresso MIDI.</source>
        <translation>No MIDI input.</translation>
    </message>
    <message>
        <source>Nessun ingresso MIDI: né un sequencer ALSA né un server JACK.</source>
        <translation>No MIDI input: no ALSA sequencer and no JACK server.</translation>
    </message>
    <message>
        <source>il sequencer ALSA non si può aprire</source>
        <translation>the ALSA sequencer cannot be opened</translation>
    </message>
    <message>
        <source>il sequencer ALSA non dà annunci</source>
        <translation>the ALSA sequencer gives no announcements</translation>
    </message>
</context>
<context>
    <name>Modules</name>
    <message>
        <source>%1 non trovato in %2</source>
        <translation>%1 not found in %2</translation>
    </message>
</context>
<context>
    <name>Notation</name>
    <message>
        <source>Armatura e metro</source>
        <translation>Key and time signature</translation>
    </message>
    <message>
        <source>Maggiore</source>
        <translation>Major</translation>
    </message>
    <message>
        <source>Minore</source>
        <translation>Minor</translation>
    </message>
    <message>
        <source>&amp;Armatura</source>
        <translation>&amp;Key signature</translation>
    </message>
    <message>
        <source>&amp;Modo</source>
        <translation>&amp;Mode</translation>
    </message>
    <message>
        <source>M&amp;etro</source>
        <translation>&amp;Time signature</translation>
    </message>
</context>
<context>
    <name>Practice</name>
    <message>
        <source>Tutte</source>
        <translation>All</translation>
    </message>
    <message>
        <source>Solo righe</source>
        <translation>Lines only</translation>
    </message>
    <message>
        <source>Solo spazi</source>
        <translation>Spaces only</translation>
    </message>
    <message>
        <source>Tagli addizionali</source>
        <translation>Ledger lines</translation>
    </message>
    <message>
        <source>Estensione</source>
        <translation>Range</translation>
    </message>
    <message>
        <source>&amp;Dalla nota</source>
        <translation>&amp;From note</translation>
    </message>
    <message>
        <source>&amp;Alla nota</source>
        <translation>&amp;To note</translation>
    </message>
    <message>
        <source>&amp;Quali note</source>
        <translation>&amp;Which notes</translation>
    </message>
    <message>
        <source>L&apos;estensione scelta ha meno di tre note da leggere: restano le scelte di prima</source>
        <translation>The range chosen has fewer than three notes to read: the earlier choices stay</translation>
    </message>
    <message>
        <source>Nessuna nota dell&apos;estensione scelta è tra «Quali note»: restano le scelte di prima</source>
        <translation>No note of the range chosen is among “Which notes”: the earlier choices stay</translation>
    </message>
    <message>
        <source>L&apos;estensione scelta non ha posto per un intervallo o un accordo: restano le scelte di prima</source>
        <translation>The range chosen has no room for an interval or a chord: the earlier choices stay</translation>
    </message>
</context>
<context>
    <name>Progress</name>
    <message>
        <source>La pagina Progressi non si apre.</source>
        <translation>The Progress page does not open.</translation>
    </message>
    <message>
        <source>Chiave di Fa</source>
        <translation>Bass clef</translation>
    </message>
    <message>
        <source>Doppio pentagramma</source>
        <translation>Grand staff</translation>
    </message>
    <message>
        <source>Chiave di Sol</source>
        <translation>Treble clef</translation>
    </message>
    <message>
        <source>1 volta</source>
        <translation>once</translation>
    </message>
    <message>
        <source>%1 volte</source>
        <translation>%1 times</translation>
    </message>
    <message>
        <source>Giorni di pratica: %1</source>
        <translation>Days of practice: %1</translation>
    </message>
    <message>
        <source>Note risposte: %1</source>
        <translation>Notes answered: %1</translation>
    </message>
    <message>
        <source>Sessioni complete: %1</source>
        <translation>Sessions completed: %1</translation>
    </message>
    <message>
        <source>Giorni di fila: %1</source>
        <translation>Days in a row: %1</translation>
    </message>
    <message>
        <source>Miglior sessione: %1 % · %2</source>
        <translation>Best session: %1 % · %2</translation>
    </message>
    <message>
        <source>Miglior sessione: nessuna sessione completa</source>
        <translation>Best session: no session completed</translation>
    </message>
    <message>
        <source>giuste al primo colpo meno di metà delle volte</source>
        <translation>right at the first try less than half the time</translation>
    </message>
    <message>
        <source>circa 70 %</source>
        <translation>about 70 %</translation>
    </message>
    <message>
        <source>90 % e più</source>
        <translation>90 % and more</translation>
    </message>
    <message>
        <source>mai vista</source>
        <translation>never shown</translation>
    </message>
    <message>
        <source>Progressi</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>Esporta PDF</source>
        <translation>Export PDF</translation>
    </message>
    <message>
        <source>Attiva Rispondi in Leggi: ogni risposta comparirà qui.</source>
        <translation>Switch on Answer in Read: every answer will show here.</translation>
    </message>
    <message>
        <source>Errori più frequenti</source>
        <translation>Most frequent mistakes</translation>
    </message>
    <message>
        <source>Totali</source>
        <translation>Totals</translation>
    </message>
    <message>
        <source>Nessun errore.</source>
        <translation>No mistakes.</translation>
    </message>
    <message>
        <source>1 riga rovinata della storia è stata saltata.</source>
        <translation>1 damaged line of the history was skipped.</translation>
    </message>
    <message>
        <source>%1 righe rovinate della storia sono state saltate.</source>
        <translation>%1 damaged lines of the history were skipped.</translation>
    </message>
    <message>
        <source>Giuste al primo colpo (%)</source>
        <translation>Right at the first try (%)</translation>
    </message>
    <message>
        <source>Note al minuto</source>
        <translation>Notes per minute</translation>
    </message>
    <message>
        <source>Ultimi %1 giorni</source>
        <translation>Last %1 days</translation>
    </message>
    <message>
        <source>% giuste</source>
        <translation>% right</translation>
    </message>
    <message>
        <source>note al minuto</source>
        <translation>notes per minute</translation>
    </message>
    <message>
        <source>Salvato in %1</source>
        <translation>Saved in %1</translation>
    </message>
    <message>
        <source>Il PDF non è stato salvato: %1</source>
        <translation>The PDF was not saved: %1</translation>
    </message>
    <message>
        <source>nessun nome libero nella cartella</source>
        <translation>no free name in the folder</translation>
    </message>
    <message>
        <source>La pagina Progressi non si apre: %1.</source>
        <translation>The Progress page does not open: %1.</translation>
    </message>
    <message>
        <source>Ritmo: in media %1 ms in anticipo</source>
        <translation>Rhythm: on average %1 ms early</translation>
    </message>
    <message>
        <source>Ritmo: in media %1 ms in ritardo</source>
        <translation>Rhythm: on average %1 ms late</translation>
    </message>
    <message>
        <source>Ritmo: in media a tempo</source>
        <translation>Rhythm: on average on time</translation>
    </message>
    <message>
        <source>A tempo (%)</source>
        <translation>On time (%)</translation>
    </message>
    <message>
        <source>Errore medio (ms)</source>
        <translation>Mean error (ms)</translation>
    </message>
    <message>
        <source>Esami: %1 superati su %2</source>
        <translation>Exams: %1 passed of %2</translation>
    </message>
</context>
<context>
    <name>Recovery</name>
    <message>
        <source>Ripristinata la composizione non salvata: %1 note.</source>
        <translation>The unsaved piece was restored: %1 notes.</translation>
    </message>
    <message>
        <source>Il file di ripristino %1 è danneggiato e non è stato caricato.</source>
        <translation>The recovery file %1 is damaged and was not loaded.</translation>
    </message>
    <message>
        <source>Il file di ripristino era danneggiato: è stato messo da parte come %1.</source>
        <translation>The recovery file was damaged: it was set aside as %1.</translation>
    </message>
    <message>
        <source>Ripristinata la composizione non salvata: 1 nota.</source>
        <translation>The unsaved piece was restored: 1 note.</translation>
    </message>
</context>
<context>
    <name>Sound</name>
    <message>
        <source>L&apos;operazione MIDI è riuscita.</source>
        <translation>The MIDI operation succeeded.</translation>
    </message>
    <message>
        <source>L&apos;uscita MIDI non ha funzionato per un motivo sconosciuto.</source>
        <translation>The MIDI output failed for an unknown reason.</translation>
    </message>
    <message>
        <source>Non c&apos;è un dispositivo MIDI di uscita con questo numero.</source>
        <translation>There is no MIDI output device with this number.</translation>
    </message>
    <message>
        <source>Nessun dispositivo MIDI di uscita è aperto: il messaggio non è stato inviato.</source>
        <translation>No MIDI output device is open, so the message was not sent.</translation>
    </message>
    <message>
        <source>Non c&apos;è nessun dispositivo MIDI di uscita.</source>
        <translation>No MIDI output device is available.</translation>
    </message>
    <message>
        <source>Non è stata trovata nessuna uscita audio (PulseAudio, PipeWire o ALSA). Zintaro funziona in silenzio; il suono torna da solo quando compare un&apos;uscita.</source>
        <translation>No audio output was found (PulseAudio, PipeWire or ALSA). Zintaro works silently; sound comes back by itself when an output appears.</translation>
    </message>
    <message>
        <source>Non è stato trovato nessun SoundFont General MIDI (cercato in /usr/share/sounds/sf2 e sf3, in quello predefinito di FluidSynth e in soundfonts/ o sounds/sf2/ delle cartelle dati XDG). Installare il pacchetto fluid-soundfont-gm.</source>
        <translation>No General MIDI SoundFont was found (looked in /usr/share/sounds/sf2 and sf3, FluidSynth&apos;s default, and soundfonts/ or sounds/sf2/ in the XDG data folders). Install the package fluid-soundfont-gm.</translation>
    </message>
    <message>
        <source>Il SoundFont General MIDI non si può leggere: il sintetizzatore interno è senza strumenti.</source>
        <translation>The General MIDI SoundFont could not be read: the built-in synthesizer has no instruments.</translation>
    </message>
    <message>
        <source>Il sintetizzatore interno non si è potuto avviare.</source>
        <translation>The built-in synthesizer could not be started.</translation>
    </message>
    <message>
        <source>La porta MIDI non c&apos;è più: il suo dispositivo è stato scollegato o il suo programma è finito.</source>
        <translation>The MIDI port is gone: its device was unplugged or its program ended.</translation>
    </message>
    <message>
        <source>La porta MIDI non si è potuta aprire.</source>
        <translation>The MIDI port could not be opened.</translation>
    </message>
    <message>
        <source>La porta MIDI non ha accettato il messaggio.</source>
        <translation>The MIDI port did not accept the message.</translation>
    </message>
    <message>
        <source>Un messaggio MIDI con un valore fuori da 0-127 non è stato inviato.</source>
        <translation>A MIDI message with a value outside 0 to 127 was not sent.</translation>
    </message>
    <message>
        <source>Il messaggio MIDI non è un messaggio di canale e non è stato inviato.</source>
        <translation>The MIDI message is not a channel message and was not sent.</translation>
    </message>
    <message>
        <source>Errore MIDI %1.</source>
        <translation>MIDI error %1.</translation>
    </message>
</context>
<context>
    <name>Speech</name>
    <message>
        <source>La voce non è disponibile: il motore vocale espeak-ng non si è potuto avviare. I nomi delle note non saranno detti.</source>
        <translation>Speech is not available: the espeak-ng speech engine could not be started. Note names will not be spoken.</translation>
    </message>
    <message>
        <source>La voce non è disponibile: l&apos;uscita audio non si è potuta aprire. I nomi delle note non saranno detti.</source>
        <translation>Speech is not available: the sound output could not be opened. Note names will not be spoken.</translation>
    </message>
    <message>
        <source>La voce non è disponibile: espeak-ng non ha la voce &quot;%1&quot; per i nomi delle note. I nomi delle note non saranno detti.</source>
        <translation>Speech is not available: espeak-ng has no voice &quot;%1&quot; for the note names. Note names will not be spoken.</translation>
    </message>
</context>
<context>
    <name>Tempo</name>
    <message>
        <source>Perfetto</source>
        <translation>Perfect</translation>
    </message>
    <message>
        <source>Bene</source>
        <translation>Good</translation>
    </message>
    <message>
        <source>In anticipo</source>
        <translation>Early</translation>
    </message>
    <message>
        <source>In ritardo</source>
        <translation>Late</translation>
    </message>
    <message>
        <source>Mancata</source>
        <translation>Missed</translation>
    </message>
    <message>
        <source>Note giuste: %1 su %2</source>
        <translation>Right notes: %1 of %2</translation>
    </message>
    <message>
        <source>A tempo: %1 su %2</source>
        <translation>In time: %1 of %2</translation>
    </message>
    <message>
        <source>Errore medio: %1 ms</source>
        <translation>Mean error: %1 ms</translation>
    </message>
    <message>
        <source>In media %1 ms in ritardo</source>
        <translation>On average %1 ms late</translation>
    </message>
    <message>
        <source>In media %1 ms in anticipo</source>
        <translation>On average %1 ms early</translation>
    </message>
    <message>
        <source>In media a tempo</source>
        <translation>On average in time</translation>
    </message>
    <message>
        <source>Note in più: %1</source>
        <translation>Extra notes: %1</translation>
    </message>
    <message>
        <source>Pause in silenzio: %1 su %2</source>
        <translation>Silent rests: %1 of %2</translation>
    </message>
    <message>
        <source>Calibra ritardo</source>
        <translation>Calibrate delay</translation>
    </message>
    <message>
        <source>Tocca un tasto a ogni clic.</source>
        <translation>Tap a key on each click.</translation>
    </message>
    <message>
        <source>Ritardo: %1 ms</source>
        <translation>Delay: %1 ms</translation>
    </message>
    <message>
        <source>Troppo pochi tocchi: tocca un tasto a ogni clic, poi riprova.</source>
        <translation>Too few taps: tap a key on each click, then try again.</translation>
    </message>
    <message>
        <source>%1 · %2</source>
        <translation>%1 · %2</translation>
    </message>
    <message>
        <source>La composizione è vuota: non c&apos;è una frase da leggere a tempo.</source>
        <translation>The composition is empty: there is no phrase to read in time.</translation>
    </message>
</context>
<context>
    <name>Window</name>
    <message>
        <source>Closing Previous Instance</source>
        <translation>Closing Previous Instance</translation>
    </message>
    <message>
        <source>La copia precedente di Zintaro non si chiude. Questa copia finisce.</source>
        <translation>The previous copy of Zintaro does not close. This copy ends.</translation>
    </message>
    <message>
        <source>1. Select Device<byte value="xd"/>
2. Select Instrument<byte value="xd"/>
3. Play notes with Mouse or with<byte value="xd"/>
   noted Computer Keyboard key</source>
        <translation>1. Select Device<byte value="xd"/>
2. Select Instrument<byte value="xd"/>
3. Play notes with Mouse or with<byte value="xd"/>
   noted Computer Keyboard key</translation>
    </message>
    <message>
        <source>Zintaro     by the Zintaro developers</source>
        <translation>Zintaro     by the Zintaro developers</translation>
    </message>
    <message>
        <source>Sicuro?</source>
        <translation>Are you sure?</translation>
    </message>
    <message>
        <source>Nuova composizione</source>
        <translation>New composition</translation>
    </message>
    <message>
        <source>(nessuna)</source>
        <translation>(none)</translation>
    </message>
    <message>
        <source>Componi</source>
        <translation>Compose</translation>
    </message>
    <message>
        <source>Ascolta</source>
        <translation>Listen</translation>
    </message>
    <message>
        <source>Nuovo</source>
        <translation>New</translation>
    </message>
    <message>
        <source>Leggi</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>Suona</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>Parla</source>
        <translation>Speak</translation>
    </message>
    <message>
        <source>Muto</source>
        <translation>Mute</translation>
    </message>
    <message>
        <source>Scrivi</source>
        <translation>Names</translation>
    </message>
    <message>
        <source>Scala</source>
        <translation>Scale</translation>
    </message>
    <message>
        <source>Rispondi</source>
        <translation>Answer</translation>
    </message>
    <message>
        <source>Esporta MIDI</source>
        <translation>Export MIDI</translation>
    </message>
    <message>
        <source>Esporta MusicXML</source>
        <translation>Export MusicXML</translation>
    </message>
    <message>
        <source>Esporta PDF</source>
        <translation>Export PDF</translation>
    </message>
    <message>
        <source>Menù</source>
        <translation>Menu</translation>
    </message>
    <message>
        <source>Carica</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Salva</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Lingua</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>PAUSA</source>
        <translation>REST</translation>
    </message>
    <message>
        <source>ELIMINA</source>
        <translation>DELETE</translation>
    </message>
    <message>
        <source>Instrument</source>
        <translation>Instrument</translation>
    </message>
    <message>
        <source>Tempo :</source>
        <translation>Tempo :</translation>
    </message>
    <message>
        <source>MIDI Device</source>
        <translation>MIDI Device</translation>
    </message>
    <message>
        <source>Note giuste al primo tentativo su note mostrate · tempo mediano di risposta</source>
        <translation>Notes right at the first try of notes shown · median response time</translation>
    </message>
    <message>
        <source>Pratica</source>
        <translation>Practice</translation>
    </message>
    <message>
        <source>Ripasso</source>
        <translation>Review</translation>
    </message>
    <message>
        <source>Alterazioni</source>
        <translation>Accidentals</translation>
    </message>
    <message>
        <source>Estensione…</source>
        <translation>Range…</translation>
    </message>
    <message>
        <source>Progressi</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>Chiave di Sol</source>
        <translation>Treble clef</translation>
    </message>
    <message>
        <source>Chiave di Fa</source>
        <translation>Bass clef</translation>
    </message>
    <message>
        <source>Doppio pentagramma</source>
        <translation>Grand staff</translation>
    </message>
    <message>
        <source>Annulla</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Ripeti</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>Armatura e metro…</source>
        <translation>Key and time signature…</translation>
    </message>
    <message>
        <source>Diapason</source>
        <translation>Tuning</translation>
    </message>
    <message>
        <source> Hz</source>
        <translation> Hz</translation>
    </message>
    <message>
        <source>&amp;%1 =</source>
        <translation>&amp;%1 =</translation>
    </message>
    <message>
        <source>Do maggiore / La minore</source>
        <translation>C major / A minor</translation>
    </message>
    <message>
        <source>Sol maggiore / Mi minore</source>
        <translation>G major / E minor</translation>
    </message>
    <message>
        <source>Re maggiore / Si minore</source>
        <translation>D major / B minor</translation>
    </message>
    <message>
        <source>La maggiore / Fa diesis minore</source>
        <translation>A major / F sharp minor</translation>
    </message>
    <message>
        <source>Mi maggiore / Do diesis minore</source>
        <translation>E major / C sharp minor</translation>
    </message>
    <message>
        <source>Si maggiore / Sol diesis minore</source>
        <translation>B major / G sharp minor</translation>
    </message>
    <message>
        <source>Fa diesis maggiore / Re diesis minore</source>
        <translation>F sharp major / D sharp minor</translation>
    </message>
    <message>
        <source>Do diesis maggiore / La diesis minore</source>
        <translation>C sharp major / A sharp minor</translation>
    </message>
    <message>
        <source>Fa maggiore / Re minore</source>
        <translation>F major / D minor</translation>
    </message>
    <message>
        <source>Si bemolle maggiore / Sol minore</source>
        <translation>B flat major / G minor</translation>
    </message>
    <message>
        <source>Mi bemolle maggiore / Do minore</source>
        <translation>E flat major / C minor</translation>
    </message>
    <message>
        <source>La bemolle maggiore / Fa minore</source>
        <translation>A flat major / F minor</translation>
    </message>
    <message>
        <source>Re bemolle maggiore / Si bemolle minore</source>
        <translation>D flat major / B flat minor</translation>
    </message>
    <message>
        <source>Sol bemolle maggiore / Mi bemolle minore</source>
        <translation>G flat major / E flat minor</translation>
    </message>
    <message>
        <source>Do bemolle maggiore / La bemolle minore</source>
        <translation>C flat major / A flat minor</translation>
    </message>
    <message>
        <source>Ingresso</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>Microfono</source>
        <translation>Microphone</translation>
    </message>
    <message>
        <source>Strumento</source>
        <translation>Instrument</translation>
    </message>
    <message>
        <source>Diapason…</source>
        <translation>Tuning…</translation>
    </message>
    <message>
        <source>Armatura</source>
        <translation>Key signature</translation>
    </message>
    <message>
        <source>Tutte, a caso</source>
        <translation>All, at random</translation>
    </message>
    <message>
        <source>Livello</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>Intervalli</source>
        <translation>Intervals</translation>
    </message>
    <message>
        <source>Accordi</source>
        <translation>Chords</translation>
    </message>
    <message>
        <source>Frase nella composizione</source>
        <translation>Phrase into the composition</translation>
    </message>
    <message>
        <source>Importa</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>Partiture MusicXML (*.musicxml *.xml *.mxl)</source>
        <translation>MusicXML scores (*.musicxml *.xml *.mxl)</translation>
    </message>
    <message>
        <source>File MIDI (*.mid *.midi)</source>
        <translation>MIDI files (*.mid *.midi)</translation>
    </message>
    <message>
        <source>Tutti i file (*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source>Quale parte importare?</source>
        <translation>Which part to import?</translation>
    </message>
    <message>
        <source>Importa…</source>
        <translation>Import…</translation>
    </message>
    <message>
        <source>A tempo</source>
        <translation>In time</translation>
    </message>
    <message>
        <source>Dalla composizione</source>
        <translation>From the composition</translation>
    </message>
    <message>
        <source>Metronomo</source>
        <translation>Metronome</translation>
    </message>
    <message>
        <source>Calibra ritardo…</source>
        <translation>Calibrate delay…</translation>
    </message>
    <message>
        <source>Partiture, file MIDI ed esercizi (*.musicxml *.xml *.mxl *.mid *.midi *.zex)</source>
        <translation>Scores, MIDI files and exercises (*.musicxml *.xml *.mxl *.mid *.midi *.zex)</translation>
    </message>
    <message>
        <source>Esercizi (*.zex)</source>
        <translation>Exercises (*.zex)</translation>
    </message>
</context>
</TS>
