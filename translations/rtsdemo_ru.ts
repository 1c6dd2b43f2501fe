<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>banner</name>
    <message>
        <source>Side %1: workers %2, bases %3, $%4</source>
        <translation>Сторона %1: рабочих %2, баз %3, $%4</translation>
    </message>
    <message>
        <source>, paused</source>
        <translation>, пауза</translation>
    </message>
    <message>
        <source>Side %1 won at frame %2 of the match</source>
        <translation>Победила сторона %1 на кадре %2 матча</translation>
    </message>
    <message>
        <source>RTS demo on OpenGL: load the data, create the level and command with the mouse (F1: keys)</source>
        <translation>RTS-демо на OpenGL: загрузите данные, создайте уровень и командуйте мышью (F1: клавиши)</translation>
    </message>
</context>
<context>
    <name>notes</name>
    <message>
        <source>Taken over at frame %1</source>
        <translation>Управление взято на кадре %1</translation>
    </message>
    <message>
        <source>Taken over at frame %1; recording to %2</source>
        <translation>Управление взято на кадре %1; запись в %2</translation>
    </message>
    <message>
        <source>Not taken over: %1</source>
        <translation>Управление не взято: %1</translation>
    </message>
    <message>
        <source>Match saved: %1</source>
        <translation>Матч сохранён: %1</translation>
    </message>
    <message>
        <source>Match not saved: %1</source>
        <translation>Матч не сохранён: %1</translation>
    </message>
    <message>
        <source>The recording ended at frame %1: paused</source>
        <translation>Запись закончилась на кадре %1: пауза</translation>
    </message>
    <message>
        <source>The recording stopped at frame %1: %2</source>
        <translation>Запись остановлена на кадре %1: %2</translation>
    </message>
    <message>
        <source>The recording stopped: %1</source>
        <translation>Запись прервана: %1</translation>
    </message>
    <message>
        <source>Out of step with the recording: %1; paused</source>
        <translation>Расхождение с записью: %1; пауза</translation>
    </message>
    <message>
        <source>out of sync at frame %1</source>
        <translation>расхождение с записью на кадре %1</translation>
    </message>
    <message>
        <source>Picture not saved: no folder %1</source>
        <translation>Снимок не сохранён: нет папки %1</translation>
    </message>
    <message>
        <source>Picture not saved: the view does not draw</source>
        <translation>Снимок не сохранён: вид не рисуется</translation>
    </message>
    <message>
        <source>Picture not saved: %1</source>
        <translation>Снимок не сохранён: %1</translation>
    </message>
    <message>
        <source>Picture: %1</source>
        <translation>Снимок: %1</translation>
    </message>
    <message>
        <source>Recording saved: %1</source>
        <translation>Запись сохранена: %1</translation>
    </message>
    <message>
        <source>Sound off</source>
        <translation>Звук выключен</translation>
    </message>
    <message>
        <source>Sound on, volume %1 %</source>
        <translation>Звук включён, громкость %1 %</translation>
    </message>
</context>
<context>
    <name>keys</name>
    <message>
        <source>Shift+Left/Right</source>
        <translation>Shift+Влево/Вправо</translation>
    </message>
    <message>
        <source>replay: one second back or forward</source>
        <translation>повтор: на секунду назад или вперёд</translation>
    </message>
    <message>
        <source>Ctrl+Left/Right</source>
        <translation>Ctrl+Влево/Вправо</translation>
    </message>
    <message>
        <source>replay: ten seconds back or forward</source>
        <translation>повтор: на десять секунд назад или вперёд</translation>
    </message>
    <message>
        <source>replay: one frame back</source>
        <translation>повтор: на кадр назад</translation>
    </message>
    <message>
        <source>replay: the start or the end</source>
        <translation>повтор: в начало или в конец</translation>
    </message>
    <message>
        <source>replay: the next mark (the timeline's tooltip lists them)</source>
        <translation>повтор: к следующей метке (подсказка шкалы перечисляет их)</translation>
    </message>
    <message>
        <source>Timeline click/drag</source>
        <translation>Щелчок/протяжка по шкале</translation>
    </message>
    <message>
        <source>replay: go to that moment</source>
        <translation>повтор: перейти к этому моменту</translation>
    </message>
    <message>
        <source>replay: take over as side 0, as side 1, or both by the computer</source>
        <translation>повтор: играть за сторону 0, за сторону 1 или отдать обе компьютеру</translation>
    </message>
    <message>
        <source>save the match so far (Documents/rtsdemo)</source>
        <translation>сохранить матч (Документы/rtsdemo)</translation>
    </message>
    <message>
        <source>Escape, Menu button</source>
        <translation>Escape, кнопка «Меню»</translation>
    </message>
    <message>
        <source>the game menu: new match, side, speed, replays, recordings, network, keys, quit</source>
        <translation>меню игры: новая партия, сторона, скорость, повторы, записи, сеть, клавиши, выход</translation>
    </message>
    <message>
        <source>network match: chat to all (Enter sends, Escape cancels)</source>
        <translation>сетевая партия: сообщение всем (Enter отправляет, Escape отменяет)</translation>
    </message>
    <message>
        <source>Arrows</source>
        <translation>Стрелки</translation>
    </message>
    <message>
        <source>Mouse at an edge</source>
        <translation>Мышь у края</translation>
    </message>
    <message>
        <source>Left click</source>
        <translation>Левый щелчок</translation>
    </message>
    <message>
        <source>Left drag</source>
        <translation>Протяжка левой</translation>
    </message>
    <message>
        <source>Shift+click or drag</source>
        <translation>Shift+щелчок или протяжка</translation>
    </message>
    <message>
        <source>Double click</source>
        <translation>Двойной щелчок</translation>
    </message>
    <message>
        <source>Ctrl+1 ... Ctrl+9</source>
        <translation>Ctrl+1 … Ctrl+9</translation>
    </message>
    <message>
        <source>1 ... 9</source>
        <translation>1 … 9</translation>
    </message>
    <message>
        <source>Shift+1 ... Shift+9</source>
        <translation>Shift+1 … Shift+9</translation>
    </message>
    <message>
        <source>Right click</source>
        <translation>Правый щелчок</translation>
    </message>
    <message>
        <source>Attack / build box</source>
        <translation>Поле атаки / стройки</translation>
    </message>
    <message>
        <source>Click into the view</source>
        <translation>Щелчок в вид</translation>
    </message>
    <message>
        <source>Typing in a box</source>
        <translation>Ввод в поле</translation>
    </message>
    <message>
        <source>Keys and mouse</source>
        <translation>Клавиши и мышь</translation>
    </message>
    <message>
        <source>pause or resume the match</source>
        <translation>пауза и продолжение</translation>
    </message>
    <message>
        <source>one frame while paused</source>
        <translation>один кадр во время паузы</translation>
    </message>
    <message>
        <source>game speed x1/4, x1/2, x1, x2, x4, x8</source>
        <translation>скорость игры: x1/4 ... x8</translation>
    </message>
    <message>
        <source>Home, Space</source>
        <translation>Home, пробел</translation>
    </message>
    <message>
        <source>centre the view on your first base, else your first unit</source>
        <translation>к своей первой базе, без неё к первому юниту</translation>
    </message>
    <message>
        <source>Tab</source>
        <translation>Tab</translation>
    </message>
    <message>
        <source>show or hide the minimap</source>
        <translation>показать или скрыть мини-карту</translation>
    </message>
    <message>
        <source>Mouse wheel</source>
        <translation>Колесо мыши</translation>
    </message>
    <message>
        <source>zoom x0.25 to x4 about the cursor</source>
        <translation>масштаб от x0.25 до x4 вокруг курсора</translation>
    </message>
    <message>
        <source>Click or drag on the minimap</source>
        <translation>Щелчок или протяжка по мини-карте</translation>
    </message>
    <message>
        <source>move the view there</source>
        <translation>перенести туда вид</translation>
    </message>
    <message>
        <source>move the camera while held</source>
        <translation>сдвиг камеры, пока клавиша нажата</translation>
    </message>
    <message>
        <source>this list</source>
        <translation>этот список</translation>
    </message>
    <message>
        <source>show or hide every unit's thoughts</source>
        <translation>мысли всех юнитов над ними</translation>
    </message>
    <message>
        <source>save a picture of the view (Pictures/rtsdemo)</source>
        <translation>снимок вида (Изображения/rtsdemo)</translation>
    </message>
    <message>
        <source>scroll the view</source>
        <translation>прокрутка у края вида</translation>
    </message>
    <message>
        <source>select the units under the cursor</source>
        <translation>выбрать юниты под курсором</translation>
    </message>
    <message>
        <source>select the units in the box</source>
        <translation>выбрать юниты в рамке</translation>
    </message>
    <message>
        <source>add to the selection</source>
        <translation>добавить к выбранным</translation>
    </message>
    <message>
        <source>select every unit of that kind in view</source>
        <translation>выбрать все такие юниты в виде</translation>
    </message>
    <message>
        <source>store the selection as a group</source>
        <translation>запомнить выбранных как группу</translation>
    </message>
    <message>
        <source>select the group; twice quickly: centre the view on it</source>
        <translation>выбрать группу; дважды быстро: показать её в центре</translation>
    </message>
    <message>
        <source>add the selection to the group</source>
        <translation>добавить выбранных к группе</translation>
    </message>
    <message>
        <source>move, follow, or use the chosen attack or building</source>
        <translation>идти, следовать, атаковать или строить выбранное</translation>
    </message>
    <message>
        <source>choose before the right click</source>
        <translation>выбрать перед правым щелчком</translation>
    </message>
    <message>
        <source>gives the view the keys</source>
        <translation>клавиши снова действуют в виде</translation>
    </message>
    <message>
        <source>keys go to the box</source>
        <translation>клавиши идут в поле ввода</translation>
    </message>
    <message>
        <source>sound off or on</source>
        <translation>звук выключить или включить</translation>
    </message>
    <message>
        <source>sound louder, softer</source>
        <translation>звук громче, тише</translation>
    </message>
</context>
<context>
    <name>marks</name>
    <message>
        <source>first base</source>
        <translation>первая база</translation>
    </message>
    <message>
        <source>first delivery</source>
        <translation>первая доставка</translation>
    </message>
    <message>
        <source>first loss</source>
        <translation>первая потеря</translation>
    </message>
    <message>
        <source>wiped out</source>
        <translation>уничтожена</translation>
    </message>
    <message>
        <source>out of sync</source>
        <translation>расхождение</translation>
    </message>
    <message>
        <source>side %1: %2</source>
        <translation>сторона %1: %2</translation>
    </message>
</context>
<context>
    <name>menu</name>
    <message>
        <source>Menu</source>
        <translation>Меню</translation>
    </message>
    <message>
        <source>New match</source>
        <translation>Новая партия</translation>
    </message>
    <message>
        <source>New match (leave the replay)</source>
        <translation>Новая партия (выйти из повтора)</translation>
    </message>
    <message>
        <source>New match on level</source>
        <translation>Новая партия на уровне</translation>
    </message>
    <message>
        <source>Play side 0</source>
        <translation>Играть за сторону 0</translation>
    </message>
    <message>
        <source>Play side 1</source>
        <translation>Играть за сторону 1</translation>
    </message>
    <message>
        <source>Watch (the computer plays both)</source>
        <translation>Смотреть (компьютер играет за обе)</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>Скорость</translation>
    </message>
    <message>
        <source>Open replay...</source>
        <translation>Открыть запись...</translation>
    </message>
    <message>
        <source>Save recording as...</source>
        <translation>Сохранить запись как...</translation>
    </message>
    <message>
        <source>Take over the replay</source>
        <translation>Продолжить игру с этого места</translation>
    </message>
    <message>
        <source>Save match (Ctrl+S)</source>
        <translation>Сохранить матч (Ctrl+S)</translation>
    </message>
    <message>
        <source>As side 0 (F5)</source>
        <translation>За сторону 0 (F5)</translation>
    </message>
    <message>
        <source>As side 1 (F6)</source>
        <translation>За сторону 1 (F6)</translation>
    </message>
    <message>
        <source>Both sides to the computer (F7)</source>
        <translation>Обе стороны компьютеру (F7)</translation>
    </message>
    <message>
        <source>Keys (F1)</source>
        <translation>Клавиши (F1)</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Выход</translation>
    </message>
    <message>
        <source>Save recording as</source>
        <translation>Сохранить запись как</translation>
    </message>
    <message>
        <source>Open replay</source>
        <translation>Открыть запись</translation>
    </message>
    <message>
        <source>Recordings (*.txt);;All files (*)</source>
        <translation>Записи (*.txt);;Все файлы (*)</translation>
    </message>
    <message>
        <source>End of the match</source>
        <translation>Конец партии</translation>
    </message>
    <message>
        <source>Watch the replay</source>
        <translation>Смотреть повтор</translation>
    </message>
    <message>
        <source>Keep watching</source>
        <translation>Смотреть дальше</translation>
    </message>
    <message>
        <source>Host a network match...</source>
        <translation>Открыть сетевую партию...</translation>
    </message>
    <message>
        <source>Join a network match...</source>
        <translation>Войти в сетевую партию...</translation>
    </message>
    <message>
        <source>Go on without the players who are gone</source>
        <translation>Продолжить без выбывших игроков</translation>
    </message>
    <message>
        <source>Start the network match</source>
        <translation>Начать сетевую партию</translation>
    </message>
    <message>
        <source>Host a network match</source>
        <translation>Открыть сетевую партию</translation>
    </message>
    <message>
        <source>Join a network match</source>
        <translation>Войти в сетевую партию</translation>
    </message>
    <message>
        <source>UDP port:</source>
        <translation>Порт UDP:</translation>
    </message>
    <message>
        <source>Host[:port]:</source>
        <translation>Хост[:порт]:</translation>
    </message>
    <message>
        <source>Play as:</source>
        <translation>Играть за:</translation>
    </message>
    <message>
        <source>Side 0</source>
        <translation>Сторону 0</translation>
    </message>
    <message>
        <source>Side 1</source>
        <translation>Сторону 1</translation>
    </message>
    <message>
        <source>A free side</source>
        <translation>Свободную сторону</translation>
    </message>
    <message>
        <source>Watch</source>
        <translation>Наблюдать</translation>
    </message>
    <message>
        <source>Chat to all: Enter sends, Escape cancels</source>
        <translation>Сообщение всем: Enter отправляет, Escape отменяет</translation>
    </message>
</context>
<context>
    <name>net</name>
    <message>
        <source>The network match has ended</source>
        <translation>Сетевая партия окончена</translation>
    </message>
    <message>
        <source> (menu: go on without)</source>
        <translation> (меню: продолжить без него)</translation>
    </message>
    <message>
        <source>Connecting...</source>
        <translation>Соединение...</translation>
    </message>
    <message>
        <source>Hosting on port %1:</source>
        <translation>Партия на порту %1:</translation>
    </message>
    <message>
        <source> Menu: Start the network match</source>
        <translation> Меню: Начать сетевую партию</translation>
    </message>
    <message>
        <source>Joining %1:%2...</source>
        <translation>Вход в %1:%2...</translation>
    </message>
    <message>
        <source>Catching up: frame %1 of %2</source>
        <translation>Догоняем: кадр %1 из %2</translation>
    </message>
    <message>
        <source>Left; waiting for the others to leave</source>
        <translation>Вы вышли; ждём, пока выйдут остальные</translation>
    </message>
    <message>
        <source>Cannot start %1</source>
        <translation>Не удаётся запустить %1</translation>
    </message>
</context>
<context>
    <name>match</name>
    <message>
        <source>Side %1 won</source>
        <translation>Победила сторона %1</translation>
    </message>
    <message>
        <source>Frames of the match: %1</source>
        <translation>Кадров матча: %1</translation>
    </message>
    <message>
        <source>First base (side 0 / side 1): %1</source>
        <translation>Первая база (сторона 0 / сторона 1): %1</translation>
    </message>
    <message>
        <source>First delivery: %1</source>
        <translation>Первая доставка: %1</translation>
    </message>
    <message>
        <source>First death: %1</source>
        <translation>Первая потеря: %1</translation>
    </message>
    <message>
        <source>Peak workers: %1 / %2</source>
        <translation>Больше всего рабочих: %1 / %2</translation>
    </message>
    <message>
        <source>Money: %1 / %2</source>
        <translation>Деньги: %1 / %2</translation>
    </message>
</context>
</TS>
