<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>CableTexts</name>
    <message>
        <source>このテンポでは 127 Tick でも間に合いません</source>
        <translation>Even 127 ticks are too few at this tempo</translation>
    </message>
    <message>
        <source>間に合う最小のステップ間隔は %1 Tick です</source>
        <translation>The smallest step interval that keeps up is %1 ticks</translation>
    </message>
    <message>
        <source>MIDIケーブル (毎秒3,125バイト) に間に合わないステップがあります。%1</source>
        <translation>Some steps come faster than a MIDI cable (3,125 bytes a second) carries them. %1</translation>
    </message>
    <message>
        <source>%1 BPM、%2 Tick では、ステップ %3 から先がMIDIケーブル (毎秒3,125バイト) に間に合わず、音源の表示が遅れます。
%4。
このまま保存しますか？</source>
        <translation>At %1 BPM and %2 ticks, the steps from step %3 on come faster than a MIDI cable (3,125 bytes a second) carries them, and the module&apos;s display falls behind.
%4.
Save anyway?</translation>
    </message>
</context>
<context>
    <name>DisplayModel</name>
    <message>
        <source>LCD Colour コマンドの長さが不正です</source>
        <translation>LCD Colour command of the wrong length</translation>
    </message>
    <message>
        <source>未知の LCD Colour 値です</source>
        <translation>Unknown LCD Colour value</translation>
    </message>
    <message>
        <source>Mode Select コマンドの長さが不正です</source>
        <translation>Mode Select command of the wrong length</translation>
    </message>
    <message>
        <source>未知の Mode Select 値です</source>
        <translation>Unknown Mode Select value</translation>
    </message>
    <message>
        <source>FX Parameter コマンドの形が不正です</source>
        <translation>Malformed FX Parameter command</translation>
    </message>
    <message>
        <source>未知の FX Parameter です</source>
        <translation>Unknown FX Parameter</translation>
    </message>
    <message>
        <source>FX Parameter の値が範囲外です</source>
        <translation>FX Parameter value out of range</translation>
    </message>
    <message>
        <source>未知のコマンドです</source>
        <translation>Unknown command</translation>
    </message>
    <message>
        <source>Frame Draw コマンドの長さが不正です</source>
        <translation>Frame Draw command of the wrong length</translation>
    </message>
    <message>
        <source>Show Message コマンドの長さが不正です</source>
        <translation>Show Message command of the wrong length</translation>
    </message>
    <message>
        <source>System Exclusive メッセージではありません</source>
        <translation>Not a System Exclusive message</translation>
    </message>
    <message>
        <source>メッセージの途中にステータスバイトがあります</source>
        <translation>A status byte in the middle of the message</translation>
    </message>
    <message>
        <source>ほかの機器へのメッセージです</source>
        <translation>A message for another device</translation>
    </message>
    <message>
        <source>コマンドがありません</source>
        <translation>No command</translation>
    </message>
    <message>
        <source>%1 (%2 バイト:%3)</source>
        <translation>%1 (%2 bytes:%3)</translation>
    </message>
</context>
<context>
    <name>DocumentFile</name>
    <message>
        <source>ステップが多すぎるため保存できません (steps.mid が %1 MiB を超えます)</source>
        <translation>Too many steps to save (steps.mid would pass %1 MiB)</translation>
    </message>
    <message>
        <source>ドキュメントを作れません (メモリ不足)</source>
        <translation>Cannot make the document (out of memory)</translation>
    </message>
</context>
<context>
    <name>GifWriter</name>
    <message>
        <source>GIFファイルを作れませんでした</source>
        <translation>Could not make the GIF file</translation>
    </message>
</context>
<context>
    <name>ImageFrames</name>
    <message>
        <source>画像を読み込めません: %1
%2</source>
        <translation>Cannot read the picture: %1
%2</translation>
    </message>
    <message>
        <source>画像ファイル|%1|すべてのファイル|*</source>
        <translation>Pictures|%1|All files|*</translation>
    </message>
    <message>
        <source>10000</source>
        <comment>pixels in the unit of the largest picture&apos;s size</comment>
        <translation>1000000</translation>
    </message>
    <message>
        <source>画像 %1 は大きすぎるため読み込めません (%2 万ピクセルまで)
%3</source>
        <translation>The picture %1 is too large to read (%2 million pixels at most)
%3</translation>
    </message>
    <message>
        <source>画像 %1 はフレームが多く大きいため、変換に時間がかかりすぎます。フレーム数か画像の大きさを減らしてください。
%2</source>
        <translation>The picture %1 has too many large frames and would take too long to convert. Use fewer frames or a smaller picture.
%2</translation>
    </message>
</context>
<context>
    <name>JackMidiOutput</name>
    <message>
        <source>JACKサーバーに接続できません。</source>
        <translation>Cannot connect to the JACK server.</translation>
    </message>
    <message>
        <source>JACKサーバーが応答しません（送信バッファーが空かないままです）。</source>
        <translation>The JACK server does not answer (its send buffer stays full).</translation>
    </message>
    <message>
        <source>JACKサーバーが応答しません。</source>
        <translation>The JACK server does not answer.</translation>
    </message>
    <message>
        <source>そのポートはもうありません。</source>
        <translation>That port is gone.</translation>
    </message>
    <message>
        <source>JACKにポート「Lumidot」を作れません。</source>
        <translation>Cannot make the port &quot;Lumidot&quot; in JACK.</translation>
    </message>
    <message>
        <source>JACKがポート「%1」への接続を拒みました。</source>
        <translation>JACK refused the connection to the port &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>JACKサーバーが停止しました（%1）。</source>
        <translation>The JACK server stopped (%1).</translation>
    </message>
    <message>
        <source>JACKサーバーが停止しました。</source>
        <translation>The JACK server stopped.</translation>
    </message>
    <message>
        <source>接続先のポート「%1」がなくなりました。</source>
        <translation>The connected port &quot;%1&quot; is gone.</translation>
    </message>
    <message>
        <source>メッセージが長すぎます。</source>
        <translation>The message is too long.</translation>
    </message>
</context>
<context>
    <name>Manual</name>
    <message>
        <source>lumidot.html</source>
        <extracomment>The file name of the manual&apos;s edition in this language.</extracomment>
        <translation>lumidot_en.html</translation>
    </message>
</context>
<context>
    <name>MidiLink</name>
    <message>
        <source>「%1」というポートは見つかりません。</source>
        <translation>There is no port named &quot;%1&quot;.</translation>
    </message>
</context>
<context>
    <name>OpenCommand</name>
    <message>
        <source>ファイルの先頭</source>
        <translation>the start of the file</translation>
    </message>
    <message>
        <source>先頭から %1 バイトの位置</source>
        <translation>byte %1 from the start</translation>
    </message>
    <message>
        <source>%1にメッセージ以外のデータがあります</source>
        <translation>Data outside any message at %1</translation>
    </message>
    <message>
        <source>%1のデータが途中で切れています</source>
        <translation>The data is cut off at %1</translation>
    </message>
    <message>
        <source>%1に NS5R 以外の機器のメッセージがあります</source>
        <translation>A message for a device other than the NS5R at %1</translation>
    </message>
    <message>
        <source>%1に Lumidot では記録しない NS5R のコマンドがあります</source>
        <translation>An NS5R command that Lumidot never records at %1</translation>
    </message>
    <message>
        <source>%1でエフェクト設定のメッセージの並びが崩れています</source>
        <translation>The messages of an effect setting are out of order at %1</translation>
    </message>
    <message>
        <source>%1でファイルの中身が壊れています</source>
        <translation>The file&apos;s content is damaged at %1</translation>
    </message>
    <message>
        <source>%1にある個数と実際の中身が合いません</source>
        <translation>A count at %1 does not match what follows it</translation>
    </message>
    <message>
        <source>%1でステップ数が上限の %2 を超えます</source>
        <translation>More steps than the limit of %2 at %1</translation>
    </message>
    <message>
        <source>%1に範囲外の値があります</source>
        <translation>A value out of range at %1</translation>
    </message>
    <message>
        <source>%1のメッセージの長さが正しくありません</source>
        <translation>A message of the wrong length at %1</translation>
    </message>
    <message>
        <source>対応していない種類の MIDI ファイルです (%1)</source>
        <translation>A kind of MIDI file that is not supported (%1)</translation>
    </message>
    <message>
        <source>%1を読み込めません</source>
        <translation>Cannot read %1</translation>
    </message>
    <message>
        <source>ファイルが空です</source>
        <translation>The file is empty</translation>
    </message>
    <message>
        <source>NS5R のデータがありません</source>
        <translation>The file holds no NS5R data</translation>
    </message>
    <message>
        <source>%1が%2 と違います</source>
        <translation>%1 does not match %2</translation>
    </message>
    <message>
        <source>%1 のファイルではありません</source>
        <translation>Not a file in %1</translation>
    </message>
    <message>
        <source>ファイル</source>
        <translation>the file</translation>
    </message>
    <message>
        <source>ファイル %1 を開けません</source>
        <translation>Cannot open the file %1</translation>
    </message>
    <message>
        <source>ファイル %1 は大きすぎるため開けません (%2 MiB まで)</source>
        <translation>Cannot open the file %1: it is too large (%2 MiB at most)</translation>
    </message>
    <message>
        <source>ファイル %1 はパイプやデバイスなど通常のファイルではないため開けません</source>
        <translation>Cannot open %1: it is a pipe, a device or another thing that is not a plain file</translation>
    </message>
    <message>
        <source>ファイルを読み込めません: %1</source>
        <translation>Cannot read the file: %1</translation>
    </message>
    <message>
        <source>Lumidot で保存できる形式 (.syx .mid .prt .exc .lumidot)</source>
        <translation>the formats Lumidot saves (.syx .mid .prt .exc .lumidot)</translation>
    </message>
</context>
<context>
    <name>PlaneImage</name>
    <message>
        <source>描画面を保存できません: %1
%2</source>
        <translation>Cannot save the plane: %1
%2</translation>
    </message>
    <message>
        <source>描画面を開けません: %1
画像の原点 (%2, %3) が描画面の外にあります</source>
        <translation>Cannot open the plane: %1
The picture&apos;s origin (%2, %3) lies outside the drawing plane</translation>
    </message>
    <message>
        <source>画像 %1 の原点 &quot;%2&quot; を読み取れないため、LCD ウィンドウの位置に置きました</source>
        <translation>The origin &quot;%2&quot; of the picture %1 cannot be read, so the picture was placed at the LCD window</translation>
    </message>
</context>
<context>
    <name>PrtWriter</name>
    <message>
        <source>記録が長すぎて Recomposer98 形式では保存できません（イベントが 65,535 バイトを超えます）</source>
        <translation>The recording is too long for the Recomposer98 format (more than 65,535 bytes of events)</translation>
    </message>
    <message>
        <source>ステップ %1 の待ち時間 (%2 Tick) は Recomposer98 形式に入りません (1〜127 Tick)。Standard MIDI (.mid) で保存してください</source>
        <translation>The wait before step %1 (%2 ticks) does not fit the Recomposer98 format (1 to 127 ticks). Save as Standard MIDI (.mid) instead</translation>
    </message>
</context>
<context>
    <name>Recovery</name>
    <message>
        <source>前回は正しく終了しませんでした。作業を復元しますか？</source>
        <translation>Lumidot did not quit properly last time. Restore your work?</translation>
    </message>
    <message>
        <source>前回の作業は %1 に残してあります。「開く」で読み込めます。</source>
        <translation>Your last work has been kept in %1. You can read it with Open.</translation>
    </message>
    <message>
        <source>作業の復元</source>
        <translation>Restore work</translation>
    </message>
</context>
<context>
    <name>RtMidiOutput</name>
    <message>
        <source>ALSAシーケンサーが送信を受け付けません（送信バッファーがあふれたままです）。</source>
        <translation>The ALSA sequencer takes nothing more (its output buffer stays full).</translation>
    </message>
    <message>
        <source>ALSAシーケンサーに接続できません。</source>
        <translation>Cannot connect to the ALSA sequencer.</translation>
    </message>
    <message>
        <source>ALSAシーケンサーに仮想ポート「Lumidot」を作れません。</source>
        <translation>Cannot make the virtual port &quot;Lumidot&quot; in the ALSA sequencer.</translation>
    </message>
    <message>
        <source>そのポートはもうありません。</source>
        <translation>That port is gone.</translation>
    </message>
    <message>
        <source>ALSAシーケンサーがポートへの接続を拒みました。</source>
        <translation>The ALSA sequencer refused the connection to the port.</translation>
    </message>
</context>
<context>
    <name>SaveCommand</name>
    <message>
        <source>ファイルへのアクセスが拒否されました</source>
        <translation>Access to the file was denied</translation>
    </message>
    <message>
        <source>ディスクがいっぱいです</source>
        <translation>The disk is full</translation>
    </message>
    <message>
        <source>シンボリックリンクが循環しているため保存できません</source>
        <translation>Cannot save: the symbolic links form a loop</translation>
    </message>
    <message>
        <source>I/O エラー (%1)</source>
        <translation>I/O error (%1)</translation>
    </message>
    <message>
        <source>エクスポートするデータがありません</source>
        <translation>Nothing has been recorded to save</translation>
    </message>
    <message>
        <source>ファイルが %1 MiB を超えるため保存できません (開けなくなります)</source>
        <translation>Cannot save a file larger than %1 MiB (it could not be opened again)</translation>
    </message>
    <message>
        <source>%1 はパイプまたはソケットのため保存できません</source>
        <translation>Cannot save to %1: it is a pipe or a socket</translation>
    </message>
    <message>
        <source>ファイル %1 を作成できません</source>
        <translation>Cannot create the file %1</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>&apos;%1&apos; のデータ型が不正です</source>
        <translation>&apos;%1&apos; is of the wrong type</translation>
    </message>
    <message>
        <source>&apos;%1&apos; の取得に失敗しました</source>
        <translation>&apos;%1&apos; could not be read</translation>
    </message>
    <message>
        <source>&apos;%1&apos; の設定に失敗しました</source>
        <translation>&apos;%1&apos; could not be written</translation>
    </message>
</context>
<context>
    <name>SswWriter</name>
    <message>
        <source>記録が長すぎて Singer Song Writer 4 形式では保存できません（エントリーが 65,535 個を超えます）</source>
        <translation>The recording is too long for the Singer Song Writer 4 format (more than 65,535 entries)</translation>
    </message>
</context>
<context>
    <name>StepList</name>
    <message>
        <source>16分音符</source>
        <translation>16th note</translation>
    </message>
    <message>
        <source>8分音符</source>
        <translation>8th note</translation>
    </message>
    <message>
        <source>4分音符</source>
        <translation>Quarter note</translation>
    </message>
    <message>
        <source>2分音符</source>
        <translation>Half note</translation>
    </message>
    <message>
        <source>1小節</source>
        <translation>1 bar</translation>
    </message>
    <message>
        <source>2小節</source>
        <translation>2 bars</translation>
    </message>
    <message>
        <source>4小節</source>
        <translation>4 bars</translation>
    </message>
    <message>
        <source>色</source>
        <translation>Colour</translation>
    </message>
    <message>
        <source>消灯</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>メッセージ</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>フレーム</source>
        <translation>Frame</translation>
    </message>
    <message>
        <source>エフェクト</source>
        <translation>Effect</translation>
    </message>
    <message>
        <source>開始 (小節:拍:Tick)</source>
        <translation>Start (bar:beat:tick)</translation>
    </message>
    <message>
        <source>長さ (Tick)</source>
        <translation>Length (ticks)</translation>
    </message>
    <message>
        <source>時刻</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>ステップ</source>
        <translation>Step</translation>
    </message>
    <message>
        <source>長さ(&amp;L)</source>
        <translation>&amp;Length</translation>
    </message>
    <message>
        <source>長さを指定(&amp;T)...</source>
        <translation>Se&amp;t length...</translation>
    </message>
    <message>
        <source>間隔に戻す(&amp;R)</source>
        <translation>&amp;Reset to the spacing</translation>
    </message>
    <message>
        <source>長さを半分に</source>
        <translation>Halve the length</translation>
    </message>
    <message>
        <source>長さを倍に</source>
        <translation>Double the length</translation>
    </message>
    <message>
        <source>16分音符前へ</source>
        <translation>A 16th earlier</translation>
    </message>
    <message>
        <source>16分音符後へ</source>
        <translation>A 16th later</translation>
    </message>
    <message>
        <source>次の拍まで保持(&amp;B)</source>
        <translation>Hold to the next &amp;beat</translation>
    </message>
    <message>
        <source>次の小節まで保持(&amp;M)</source>
        <translation>Hold to the next b&amp;ar</translation>
    </message>
    <message>
        <source>開始位置(&amp;S)...</source>
        <translation>&amp;Start...</translation>
    </message>
    <message>
        <source>開始位置: %1</source>
        <translation>Start: %1</translation>
    </message>
    <message>
        <source>開始位置: %1（記録どおり）</source>
        <translation>Start: %1 (as recorded)</translation>
    </message>
</context>
<context>
    <name>SystemMidiOutput</name>
    <message>
        <source>MIDIシステムが見つかりません。Lumidotの送信には、ALSAシーケンサー（/dev/snd/seq）か、起動しているJACKサーバー（またはPipeWire）が必要です。どちらかを用意してから、「設定」を開いて閉じるとポートが開き直されます。</source>
        <translation>No MIDI system was found. To send, Lumidot needs the ALSA sequencer (/dev/snd/seq) or a running JACK server (or PipeWire). Once one is there, open and close Settings to open the port again.</translation>
    </message>
</context>
<context>
    <name>TStepLengthDialog</name>
    <message>
        <source>16分音符</source>
        <translation>16th note</translation>
    </message>
    <message>
        <source>8分音符</source>
        <translation>8th note</translation>
    </message>
    <message>
        <source>4分音符</source>
        <translation>Quarter note</translation>
    </message>
    <message>
        <source>2分音符</source>
        <translation>Half note</translation>
    </message>
    <message>
        <source>1小節</source>
        <translation>1 bar</translation>
    </message>
    <message>
        <source>2小節</source>
        <translation>2 bars</translation>
    </message>
    <message>
        <source>4小節</source>
        <translation>4 bars</translation>
    </message>
</context>
<context>
    <name>VideoImportRun</name>
    <message>
        <source>動画をドットに変換しています...</source>
        <translation>Converting the video to dots...</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>lumidot::StepListWindow</name>
    <message>
        <source>ステップ一覧</source>
        <translation>Step list</translation>
    </message>
    <message>
        <source>削除(&amp;D)</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>上へ移動(&amp;U)</source>
        <translation>Move &amp;up</translation>
    </message>
    <message>
        <source>下へ移動(&amp;N)</source>
        <translation>Move dow&amp;n</translation>
    </message>
    <message>
        <source>複製(&amp;P)</source>
        <translation>Du&amp;plicate</translation>
    </message>
    <message>
        <source>切り取り(&amp;T)</source>
        <translation>Cu&amp;t</translation>
    </message>
    <message>
        <source>コピー(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>貼り付け(&amp;V)</source>
        <translation>&amp;Paste</translation>
    </message>
    <message>
        <source>ここに挿入</source>
        <translation>Insert here</translation>
    </message>
    <message>
        <source>上書き</source>
        <translation>Overwrite</translation>
    </message>
</context>
<context>
    <name>lumidot::TFConfig</name>
    <message>
        <source>表示言語</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>システムの言語</source>
        <translation>System language</translation>
    </message>
    <message>
        <source>次回の起動から切り替わります。</source>
        <translation>Takes effect the next time Lumidot starts.</translation>
    </message>
    <message>
        <source>クリックで初期値に戻します</source>
        <translation>Click to reset to the default</translation>
    </message>
    <message>
        <source>各種設定</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>仮想領域設定</source>
        <translation>Scroll range</translation>
    </message>
    <message>
        <source>Ｔｉｃｋ</source>
        <translation>Tick</translation>
    </message>
    <message>
        <source>スクロールモード</source>
        <translation>Scroll mode</translation>
    </message>
    <message>
        <source>通常</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>上下１ドットずつ動作します。</source>
        <translation>Scrolls one dot at a time.</translation>
    </message>
    <message>
        <source>コマモード</source>
        <translation>Frame mode</translation>
    </message>
    <message>
        <source>上下１画面ずつ動作します。</source>
        <translation>Scrolls one screen at a time.</translation>
    </message>
    <message>
        <source>MIDIケーブルの速度に合わせて送る</source>
        <translation>Send frames at MIDI cable speed</translation>
    </message>
</context>
<context>
    <name>lumidot::THelpWindow</name>
    <message>
        <source>Lumidot ヘルプ</source>
        <translation>Lumidot Help</translation>
    </message>
    <message>
        <source>戻る(&amp;B)</source>
        <translation>&amp;Back</translation>
    </message>
    <message>
        <source>目次(&amp;T)</source>
        <translation>&amp;Contents</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>&lt;h1&gt;Lumidot ヘルプ&lt;/h1&gt;&lt;p&gt;マニュアル (%1) が見つかりません。次のフォルダを探しました：&lt;/p&gt;&lt;ul&gt;</source>
        <translation>&lt;h1&gt;Lumidot Help&lt;/h1&gt;&lt;p&gt;The manual (%1) was not found. These folders were searched:&lt;/p&gt;&lt;ul&gt;</translation>
    </message>
</context>
<context>
    <name>lumidot::TImportPreview</name>
    <message>
        <source>画像の読み込み</source>
        <translation>Import Picture</translation>
    </message>
    <message>
        <source>位置</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>置き換える</source>
        <translation>Replace</translation>
    </message>
    <message>
        <source>重ねる</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>画像の下のドットを画像で置き換えます</source>
        <translation>The picture replaces the dots under it</translation>
    </message>
    <message>
        <source>画像の黒いドットだけを下のドットに加えます</source>
        <translation>Only the picture&apos;s black dots are added to the dots under it</translation>
    </message>
    <message>
        <source>拡大縮小</source>
        <translation>Scaling</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>None</translation>
    </message>
    <message>
        <source>ウィンドウに合わせる (32 x 16)</source>
        <translation>Fit the window (32 x 16)</translation>
    </message>
    <message>
        <source>高さに合わせる (16)</source>
        <translation>Fit the height (16)</translation>
    </message>
    <message>
        <source>拡大率</source>
        <translation>Percentage</translation>
    </message>
    <message>
        <source>ドットへの変換</source>
        <translation>Conversion to dots</translation>
    </message>
    <message>
        <source>しきい値</source>
        <translation>Threshold</translation>
    </message>
    <message>
        <source>自動</source>
        <translation>Automatic</translation>
    </message>
    <message>
        <source>明暗の分かれ目を画像ごとに選びます (大津の方法)</source>
        <translation>Picks the split between dark and light for each picture (Otsu&apos;s method)</translation>
    </message>
    <message>
        <source>ディザ (Floyd-Steinberg)</source>
        <translation>Dithering (Floyd-Steinberg)</translation>
    </message>
    <message>
        <source>ディザ (Bayer 4 x 4)</source>
        <translation>Dithering (Bayer 4 x 4)</translation>
    </message>
    <message>
        <source>反転</source>
        <translation>Invert</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message numerus="yes">
        <source>%1 x %2 ピクセル → %3 x %4 ドット、%n フレーム</source>
        <translation>
            <numerusform>%1 x %2 pixels → %3 x %4 dots, %n frame</numerusform>
            <numerusform>%1 x %2 pixels → %3 x %4 dots, %n frames</numerusform>
        </translation>
    </message>
    <message>
        <source>ケーブルに収まるように間引く</source>
        <translation>Drop frames to keep up with the cable</translation>
    </message>
    <message>
        <source>MIDIケーブル (毎秒3,125バイト) が前のフレームを送り終える前に来るフレームを除きます。除いたフレームの時間は前のフレームが表示し続けます</source>
        <translation>Drops each frame that comes before a MIDI cable (3,125 bytes a second) has finished sending the one before; the frame before stays shown for the dropped frame&apos;s time</translation>
    </message>
    <message>
        <source>、うち %1 フレームはケーブルに間に合いません</source>
        <translation>, %1 of them too fast for the cable</translation>
    </message>
</context>
<context>
    <name>lumidot::TInformation</name>
    <message>
        <source>情報表示</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>残り</source>
        <translation>Remaining</translation>
    </message>
    <message>
        <source>長さ</source>
        <translation>Length</translation>
    </message>
</context>
<context>
    <name>lumidot::TMainForm</name>
    <message>
        <source>ドットペン(黒)</source>
        <translation>Pen (black)</translation>
    </message>
    <message>
        <source>ドットペン(白)</source>
        <translation>Pen (white)</translation>
    </message>
    <message>
        <source>矩形(黒)</source>
        <translation>Rectangle (black)</translation>
    </message>
    <message>
        <source>矩形塗りつぶし(黒)</source>
        <translation>Filled rectangle (black)</translation>
    </message>
    <message>
        <source>矩形塗りつぶし(白)</source>
        <translation>Filled rectangle (white)</translation>
    </message>
    <message>
        <source>文字入力</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>すべての領域をクリアします</source>
        <translation>Clear the whole plane</translation>
    </message>
    <message>
        <source>ホームポジションに移動します</source>
        <translation>Move the window to its home position</translation>
    </message>
    <message>
        <source>ドット反転</source>
        <translation>Invert</translation>
    </message>
    <message>
        <source>左右反転</source>
        <translation>Flip horizontally</translation>
    </message>
    <message>
        <source>上下反転</source>
        <translation>Flip vertically</translation>
    </message>
    <message>
        <source>Frame Draw</source>
        <translation>Frame Draw</translation>
    </message>
    <message>
        <source>記録</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>コマ記録</source>
        <translation>Record one step</translation>
    </message>
    <message>
        <source>連続記録</source>
        <translation>Continuous recording</translation>
    </message>
    <message>
        <source>Ｘ：</source>
        <translation>X:</translation>
    </message>
    <message>
        <source>Ｙ：</source>
        <translation>Y:</translation>
    </message>
    <message>
        <source>すべてクリア</source>
        <translation>Clear All</translation>
    </message>
    <message>
        <source>ペン</source>
        <translation>Pen</translation>
    </message>
    <message>
        <source>矩形</source>
        <translation>Rectangle</translation>
    </message>
    <message>
        <source>新規</source>
        <translation>New</translation>
    </message>
    <message>
        <source>元に戻す(&amp;U)</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>やり直し(&amp;R)</source>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <source>描画</source>
        <translation>Drawing</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>ステップ一覧(&amp;L)</source>
        <translation>Step &amp;list</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>移動</source>
        <translation>Move</translation>
    </message>
    <message>
        <source>複製</source>
        <translation>Duplicate</translation>
    </message>
    <message>
        <source>貼り付け</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>挿入</source>
        <translation>Insert</translation>
    </message>
    <message>
        <source>フレームの読み込み</source>
        <translation>Load Frame</translation>
    </message>
    <message>
        <source>AI2 Effect</source>
        <translation>AI2 Effect</translation>
    </message>
    <message>
        <source>Effect-1</source>
        <translation>Effect-1</translation>
    </message>
    <message>
        <source>Effect-2</source>
        <translation>Effect-2</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>LCD Color</source>
        <translation>LCD Color</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>Orange</source>
        <translation>Orange</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>連続記録スイッチ</source>
        <translation>Continuous recording on or off</translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>新規(&amp;N)</source>
        <translation>&amp;New</translation>
    </message>
    <message>
        <source>開く(&amp;O)...</source>
        <translation>&amp;Open...</translation>
    </message>
    <message>
        <source>保存(&amp;S)</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>設定(&amp;C)</source>
        <translation>&amp;Configure</translation>
    </message>
    <message>
        <source>NS5Rが接続してあるデバイスを指定します。</source>
        <translation>Choose the MIDI device the NS5R is connected to.</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <source>表示(&amp;O)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>情報表示(&amp;I)</source>
        <translation>&amp;Information</translation>
    </message>
    <message>
        <source>MIDI送信(&amp;O)</source>
        <translation>MIDI &amp;Output</translation>
    </message>
    <message>
        <source>モニター(&amp;M)</source>
        <translation>&amp;Monitor</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>バージョン情報(&amp;A)</source>
        <translation>&amp;About Lumidot</translation>
    </message>
    <message>
        <source>LCD</source>
        <translation>LCD</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>Dot</source>
        <translation>Dot</translation>
    </message>
    <message>
        <source>Effect</source>
        <translation>Effect</translation>
    </message>
    <message>
        <source>設定ファイル %1 は壊れているため読み込みませんでした。
次に設定を保存するときに新しく書き直します。</source>
        <translation>The settings file %1 is damaged and was not read.
It will be written anew the next time the settings are saved.</translation>
    </message>
    <message>
        <source>指定されたMIDIデバイスは使用できません</source>
        <translation>The chosen MIDI device cannot be used</translation>
    </message>
    <message>
        <source>これ以上記録できません</source>
        <translation>No more steps can be recorded</translation>
    </message>
    <message>
        <source>エクスポートするデータがありません</source>
        <translation>Nothing has been recorded to save</translation>
    </message>
    <message>
        <source>開く</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>このファイルのステップ間隔は %1 Tick です（現在の設定は %2 Tick）。
設定をこの間隔に変更しますか？</source>
        <translation>The steps of this file are %1 ticks apart (the setting is %2 ticks).
Change the setting to this spacing?</translation>
    </message>
    <message>
        <source>デバイス %1 は見つかりません</source>
        <translation>Device %1 not found</translation>
    </message>
    <message>
        <source>更新されています保存しますか？</source>
        <translation>The recording has changed. Save it?</translation>
    </message>
    <message>
        <source>Message Window</source>
        <translation>Message Window</translation>
    </message>
    <message>
        <source>メッセージの記録</source>
        <translation>Message recording</translation>
    </message>
    <message>
        <source>%1 フレームは記録できません。
記録できるのはあと %2 ステップです (上限 %3)。何も記録していません。</source>
        <translation>Cannot record %1 frames.
Only %2 more steps fit (the limit is %3). Nothing was recorded.</translation>
    </message>
    <message>
        <source>画像の読み込み(&amp;I)...</source>
        <translation>&amp;Import Picture...</translation>
    </message>
    <message>
        <source>画像を描画面に読み込みます。アニメーションはコマ記録になります</source>
        <translation>Puts a picture on the plane; an animation becomes one recorded frame per picture</translation>
    </message>
    <message>
        <source>描画面を開く...</source>
        <translation>Open Plane...</translation>
    </message>
    <message>
        <source>描画面の保存(&amp;P)...</source>
        <translation>Save &amp;Plane...</translation>
    </message>
    <message>
        <source>前回の描画面</source>
        <translation>Last Plane</translation>
    </message>
    <message>
        <source>前回終了したときの描画面に戻します</source>
        <translation>Brings back the plane as it was when Lumidot last quit</translation>
    </message>
    <message>
        <source>画像の読み込み</source>
        <translation>Import Picture</translation>
    </message>
    <message>
        <source>画像をドットに変換しています...</source>
        <translation>Converting the pictures to dots...</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>前回の描画面はありません</source>
        <translation>There is no plane from last time</translation>
    </message>
    <message>
        <source>描画面を開く</source>
        <translation>Open Plane</translation>
    </message>
    <message>
        <source>長さ</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>長さを倍に</source>
        <translation>Double the length</translation>
    </message>
    <message>
        <source>長さを半分に</source>
        <translation>Halve the length</translation>
    </message>
    <message>
        <source>間隔に戻す</source>
        <translation>Reset to the spacing</translation>
    </message>
    <message>
        <source>前へ</source>
        <translation>Earlier</translation>
    </message>
    <message>
        <source>後へ</source>
        <translation>Later</translation>
    </message>
    <message>
        <source>保持</source>
        <translation>Hold</translation>
    </message>
    <message>
        <source>開始位置</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>テンポを書き込む (Standard MIDI)</source>
        <translation>Write the tempo (Standard MIDI)</translation>
    </message>
    <message>
        <source>ステップ %1 の待ち時間 (%2 Tick) は Recomposer98 形式に入りません (1〜127 Tick)。
Standard MIDI (.mid) で保存してください。</source>
        <translation>The wait before step %1 (%2 ticks) does not fit the Recomposer98 format (1 to 127 ticks).
Save as Standard MIDI (.mid) instead.</translation>
    </message>
    <message>
        <source>%1 形式には時間が入らないため、ステップの長さと開始位置は保存されません。
タイミングを捨てて保存しますか？</source>
        <translation>The %1 format holds no time, so the steps&apos; lengths and the start are not saved.
Save without the timing?</translation>
    </message>
    <message>
        <source>直線</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>オニオンスキン(&amp;N)</source>
        <translation>O&amp;nion skin</translation>
    </message>
    <message>
        <source>オニオンスキンに次のコマも表示(&amp;X)</source>
        <translation>Show ne&amp;xt step in onion skin</translation>
    </message>
    <message>
        <source>上書き</source>
        <translation>Overwrite</translation>
    </message>
    <message>
        <source>ファイルが壊れています (ZIP アーカイブとして読めません)</source>
        <translation>the file is damaged (it cannot be read as a ZIP archive)</translation>
    </message>
    <message>
        <source>Lumidot ドキュメントではありません (%1 がないか、違う種類を示しています)</source>
        <translation>not a Lumidot document (%1 is missing or names another type)</translation>
    </message>
    <message>
        <source>ドキュメントに %1 がありません</source>
        <translation>the document has no %1</translation>
    </message>
    <message>
        <source>ドキュメントの %1 が大きすぎます</source>
        <translation>the document&apos;s %1 is too large</translation>
    </message>
    <message>
        <source>新しい版の Lumidot で保存されたドキュメントのため、この版では開けません</source>
        <translation>the document was saved by a newer Lumidot and this version cannot open it</translation>
    </message>
    <message>
        <source>ドキュメントの %1 が壊れています</source>
        <translation>the document&apos;s %1 is damaged</translation>
    </message>
    <message>
        <source>ドキュメントの %1 がほかの部分と合いません</source>
        <translation>the document&apos;s %1 does not match its other parts</translation>
    </message>
    <message>
        <source>ファイルを読み込めません: %1</source>
        <translation>Cannot read the file: %1</translation>
    </message>
    <message>
        <source>%1 の</source>
        <translation> of %1</translation>
    </message>
    <message>
        <source> (%1先頭から %2 バイトの位置)</source>
        <translation> (byte %2 from the start%1)</translation>
    </message>
    <message>
        <source>Lumidot ドキュメント (*.lumidot)</source>
        <translation>Lumidot document (*.lumidot)</translation>
    </message>
    <message>
        <source>画像・動画ファイル</source>
        <translation>Pictures and videos</translation>
    </message>
    <message>
        <source>動画ファイル</source>
        <translation>Videos</translation>
    </message>
</context>
<context>
    <name>lumidot::TMoji</name>
    <message>
        <source>文字入力</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>半角英数20文字まで</source>
        <translation>Up to 20 characters (Japanese ones count twice)</translation>
    </message>
    <message>
        <source>入力に書いた文字をキャンバスへ転送します</source>
        <translation>Stamps the text onto the canvas</translation>
    </message>
</context>
<context>
    <name>lumidot::TMonitor</name>
    <message>
        <source>モニター</source>
        <translation>Monitor</translation>
    </message>
    <message>
        <source>● MIDI送信オフ: 送信されるはずの内容を表示しています</source>
        <translation>● Send MIDI is off: showing what would be sent</translation>
    </message>
    <message>
        <source>ファイルを開く(&amp;F)...</source>
        <translation>Open &amp;file...</translation>
    </message>
    <message>
        <source>保存したファイルを再生します。記録中のデータは変わりません</source>
        <translation>Plays a saved file; the recording is not touched</translation>
    </message>
    <message>
        <source>記録中のデータ(&amp;R)</source>
        <translation>&amp;Recording</translation>
    </message>
    <message>
        <source>記録中のデータを再生します</source>
        <translation>Plays the recording</translation>
    </message>
    <message>
        <source>前のステップ</source>
        <translation>Previous step</translation>
    </message>
    <message>
        <source>再生 / 停止 (Space)</source>
        <translation>Play / stop (Space)</translation>
    </message>
    <message>
        <source>次のステップ</source>
        <translation>Next step</translation>
    </message>
    <message>
        <source>再生位置</source>
        <translation>Playback position</translation>
    </message>
    <message>
        <source>再生のテンポ。テンポのないMIDIファイルをシーケンサーは120で演奏します</source>
        <translation>Playback tempo. Sequencers play a MIDI file without a tempo at 120</translation>
    </message>
    <message>
        <source>MIDIケーブルの速度で送る(&amp;C)</source>
        <translation>Send at MIDI &amp;cable speed</translation>
    </message>
    <message>
        <source>毎秒3,125バイトのMIDIケーブルで届く時刻に合わせて送り、音源の表示の遅れを示します</source>
        <translation>Sends each message when it would arrive through a MIDI cable of 3,125 bytes a second, showing how late the module&apos;s display would be</translation>
    </message>
    <message>
        <source>常に手前に表示(&amp;T)</source>
        <translation>Stay on &amp;top</translation>
    </message>
    <message>
        <source>再生:</source>
        <translation>Playing:</translation>
    </message>
    <message>
        <source>テンポ</source>
        <translation>Tempo</translation>
    </message>
    <message>
        <source>ドットの大きさ</source>
        <translation>Dot size</translation>
    </message>
    <message numerus="yes">
        <source>解読できないメッセージ %n 件。最後: %1</source>
        <translation>
            <numerusform>%n message could not be read. Last: %1</numerusform>
            <numerusform>%n messages could not be read. Last: %1</numerusform>
        </translation>
    </message>
    <message>
        <source>記録中のデータ (%1 Tick)</source>
        <translation>The recording (%1 Tick)</translation>
    </message>
    <message>
        <source>ステップ %1 / %2</source>
        <translation>Step %1 / %2</translation>
    </message>
    <message>
        <source>遅れ %1 ms</source>
        <translation>Late by %1 ms</translation>
    </message>
</context>
<context>
    <name>lumidot::TStampFontDialog</name>
    <message>
        <source>フォント</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>太字</source>
        <translation>Bold</translation>
    </message>
    <message>
        <source>斜体</source>
        <translation>Italic</translation>
    </message>
    <message>
        <source>下線</source>
        <translation>Underline</translation>
    </message>
    <message>
        <source>取り消し線</source>
        <translation>Strikeout</translation>
    </message>
    <message>
        <source>フォント名</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>サイズ</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>スタイル</source>
        <translation>Style</translation>
    </message>
</context>
<context>
    <name>lumidot::TStartDialog</name>
    <message>
        <source>開始位置</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>記録どおり (%1)(&amp;R)</source>
        <translation>As &amp;recorded (%1)</translation>
    </message>
    <message>
        <source>最初のステップの位置(&amp;P)</source>
        <translation>First step &amp;position</translation>
    </message>
    <message>
        <source>小節 </source>
        <translation>Bar </translation>
    </message>
    <message>
        <source>拍 </source>
        <translation>Beat </translation>
    </message>
    <message>
        <source>4/4拍子、4分音符 = 480 Tick。最初のステップのメッセージがこの位置に来ます。</source>
        <translation>4/4 time, quarter note = 480 ticks. The first step&apos;s message lands at this position.</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>lumidot::TStepLengthDialog</name>
    <message>
        <source>長さ</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>音符(&amp;N)</source>
        <translation>&amp;Note</translation>
    </message>
    <message>
        <source>%1 (%2 Tick)</source>
        <translation>%1 (%2 ticks)</translation>
    </message>
    <message>
        <source>Tick(&amp;T)</source>
        <translation>&amp;Ticks</translation>
    </message>
    <message>
        <source>4分音符 = 480 Tick。ステップの開始から次のステップの開始までの長さです。
最短は %1 Tick (ステップ間隔と、エフェクトのメッセージの分) です。</source>
        <translation>Quarter note = 480 ticks. The length runs from the start of a step to the start of the next.
The shortest is %1 ticks (the step spacing, plus the room an effect&apos;s messages take).</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>lumidot::TVideoImport</name>
    <message>
        <source>動画の読み込み</source>
        <translation>Import video</translation>
    </message>
    <message>
        <source>動画</source>
        <translation>Video</translation>
    </message>
    <message>
        <source>プレビューに表示するフレームの時刻</source>
        <translation>The time of the frame shown in the preview</translation>
    </message>
    <message>
        <source>時刻</source>
        <translation>Time</translation>
    </message>
    <message>
        <source> フレーム/秒</source>
        <translation> frames/s</translation>
    </message>
    <message>
        <source>1 秒に取り出すフレームの数</source>
        <translation>How many frames to take each second</translation>
    </message>
    <message>
        <source>フレームレート</source>
        <translation>Frame rate</translation>
    </message>
    <message>
        <source> 秒</source>
        <translation> s</translation>
    </message>
    <message>
        <source>最後まで</source>
        <translation>To the end</translation>
    </message>
    <message>
        <source>から</source>
        <translation>From</translation>
    </message>
    <message>
        <source>まで</source>
        <translation>To</translation>
    </message>
    <message>
        <source>範囲</source>
        <translation>Range</translation>
    </message>
    <message>
        <source>%1 x %2 ピクセル → %3 x %4 ドット</source>
        <translation>%1 x %2 pixels → %3 x %4 dots</translation>
    </message>
    <message>
        <source>不明</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>フレーム数: %1</source>
        <translation>Frames: %1</translation>
    </message>
    <message>
        <source>記録後の残り: %1 ステップ (上限 %2)</source>
        <translation>Left after recording: %1 steps (limit %2)</translation>
    </message>
    <message>
        <source>ケーブル: %1 / %2 バイト/秒</source>
        <translation>Cable: %1 / %2 bytes/s</translation>
    </message>
</context>
<context>
    <name>lumidot::Tverinfo</name>
    <message>
        <source>バージョン情報</source>
        <translation>About Lumidot</translation>
    </message>
    <message>
        <source>NS5R の液晶とエフェクトをSysExで描くエディタ</source>
        <translation>An editor that draws the NS5R&apos;s display and effects over SysEx</translation>
    </message>
    <message>
        <source>ホームページへジャンプ！</source>
        <translation>Visit the home page!</translation>
    </message>
    <message>
        <source>感想よろしくね！</source>
        <translation>Tell us what you think!</translation>
    </message>
    <message>
        <source>Lumidotについて</source>
        <translation>About Lumidot</translation>
    </message>
</context>
</TS>
