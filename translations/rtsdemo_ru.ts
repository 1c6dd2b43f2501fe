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
    <message>
        <source>army %1 / %2, made %3 / %4</source>
        <translation>армия %1 / %2, сделано %3 / %4</translation>
    </message>
    <message>
        <source>The match is drawn at frame %1</source>
        <translation>Ничья на кадре %1</translation>
    </message>
</context>
<context>
    <name>notes</name>
    <message>
        <source>"Карта" shows the ground; the window remembers your choice</source>
        <translation>«Карта» показывает землю; окно запомнит ваш выбор</translation>
    </message>
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
    <message>
        <source>Showing everything</source>
        <translation>Показано всё</translation>
    </message>
    <message>
        <source>Showing side %1's sight</source>
        <translation>Показан обзор стороны %1</translation>
    </message>
    <message>
        <source>Side %1's script stopped (%2): the computer plays it</source>
        <translation>Сценарий стороны %1 остановлен (%2): её играет компьютер</translation>
    </message>
    <message>
        <source>The AI scripts were read again: a new match with seed %1</source>
        <translation>Сценарии ИИ прочитаны заново: новая партия с засевом %1</translation>
    </message>
</context>
<context>
    <name>keys</name>
    <message>
        <source>Keys and mouse in the window:</source>
        <translation>Клавиши и мышь в окне:</translation>
    </message>
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
        <source>Shift+right click</source>
        <translation>Shift+правый щелчок</translation>
    </message>
    <message>
        <source>Base: right click</source>
        <translation>База: правый щелчок</translation>
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
        <source>Q W E, A S D</source>
        <translation>Q W E, A S D</translation>
    </message>
    <message>
        <source>command card: what the selection builds or trains, then right click</source>
        <translation>карточка команд: что строят или обучают выбранные, затем правый щелчок</translation>
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
        <source>the same order after the current one</source>
        <translation>тот же приказ после текущего</translation>
    </message>
    <message>
        <source>its rally point, where the units it trains walk</source>
        <translation>её точка сбора, куда идут обученные юниты</translation>
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
    <message>
        <source>V</source>
        <translation>V</translation>
    </message>
    <message>
        <source>without a side of your own: show everything, side 0's or side 1's sight</source>
        <translation>без своей стороны: показать всё, обзор стороны 0 или стороны 1</translation>
    </message>
    <message>
        <source>read the AI scripts again and start a new match with the same seed</source>
        <translation>прочитать сценарии ИИ заново и начать новую партию с тем же засевом</translation>
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
    <message>
        <source>Show (V)</source>
        <translation>Показать (V)</translation>
    </message>
    <message>
        <source>Everything</source>
        <translation>Всё</translation>
    </message>
    <message>
        <source>Side 0's sight</source>
        <translation>Обзор стороны 0</translation>
    </message>
    <message>
        <source>Side 1's sight</source>
        <translation>Обзор стороны 1</translation>
    </message>
    <message>
        <source>New match against</source>
        <translation>Новая партия против</translation>
    </message>
    <message>
        <source>Easy</source>
        <translation>Лёгкий</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>Обычный</translation>
    </message>
    <message>
        <source>Hard</source>
        <translation>Трудный</translation>
    </message>
    <message>
        <source>Summary</source>
        <translation>Итог</translation>
    </message>
    <message>
        <source>Match charts...</source>
        <translation>Графики партии...</translation>
    </message>
    <message>
        <source>Match charts</source>
        <translation>Графики партии</translation>
    </message>
</context>
<context>
    <name>net</name>
    <message>
        <source>You play side %1</source>
        <translation>Вы играете стороной %1</translation>
    </message>
    <message>
        <source>Your side %1 is played by its script</source>
        <translation>Вашей стороной %1 играет её сценарий</translation>
    </message>
    <message>
        <source>You watch</source>
        <translation>Вы наблюдаете</translation>
    </message>
    <message>
        <source>%1 left, the computer plays side %2</source>
        <translation>%1 вышел, стороной %2 играет компьютер</translation>
    </message>
    <message>
        <source>%1 left, its script plays side %2</source>
        <translation>%1 вышел, стороной %2 играет её сценарий</translation>
    </message>
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
    <name>card</name>
    <message>
        <source>no type of that name</source>
        <translation>нет типа с таким именем</translation>
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
<context>
    <name>help</name>
    <message>
        <source>A small real-time-strategy demo: the window "OpenGL demo", or a script run in it or headless.</source>
        <translation>Небольшая стратегия в реальном времени: окно «OpenGL demo» или сценарий, выполняемый в нём или без окна.</translation>
    </message>
    <message>
        <source>Options:</source>
        <translation>Параметры:</translation>
    </message>
    <message>
        <source>Usage: </source>
        <translation>Запуск: </translation>
    </message>
</context>
<context>
    <name>options</name>
    <message>
        <source>Read the data folders (`ludi`, `orki`, `maps`) from DIR. Without it the program takes the first folder that exists of `$RTSDEMO_DATA`, the source tree's `data/` (for the program in its build tree) and the installed `../share/rtsdemo/data` from the program's folder. A DIR that does not exist or is not a folder ends the program with status 2.</source>
        <translation>Читать папки данных (`ludi`, `orki`, `maps`) из DIR. Без него программа берёт первую существующую папку из `$RTSDEMO_DATA`, папки `data/` дерева исходников (для программы в её дереве сборки) и установленной `../share/rtsdemo/data` рядом с папкой программы. DIR, которой нет или которая не папка, завершает программу с кодом 2.</translation>
    </message>
    <message>
        <source>Use N instead of the clock for both seedings of the random generator.</source>
        <translation>Брать N вместо часов для обоих засевов генератора случайных чисел.</translation>
    </message>
    <message>
        <source>Side S (0 or 1) is yours: the computer opponent plays only the other side. Without it the computer plays both, as the rules say.</source>
        <translation>Сторона S (0 или 1) ваша: компьютер играет только другой стороной. Без него компьютер играет обеими, как велят правила.</translation>
    </message>
    <message>
        <source>Run the script with no window and no OpenGL (no X server needed).</source>
        <translation>Выполнить сценарий без окна и без OpenGL (X-сервер не нужен).</translation>
    </message>
    <message>
        <source>Run the commands of FILE (`-`: standard input) instead of the timer, then exit. A load that failed or was refused makes the exit status 1 once the script has run; a script error gives 2, a failed sync check 3.</source>
        <translation>Выполнить команды из FILE (`-`: стандартный ввод) вместо таймера и выйти. Неудачная или отклонённая загрузка даёт код выхода 1 после выполнения всего сценария; ошибка сценария даёт 2, несовпадение при проверке синхронности 3.</translation>
    </message>
    <message>
        <source>Play in the window (or a network match, also headless) and write the session as a script that replays it. Everything that changes the match is recorded (arrow keys, `--play-as`); pause and speed only change which frames run, which the `tick` lines already tell. A FILE that cannot be written ends the program with status 2 before the window opens; a write that fails later (a full disk, the file removed) stops the recording, and the banner and standard error tell at which frame. A network match's recording holds every player's inputs and its chat as `#` lines.</source>
        <translation>Играть в окне (или в сетевом матче, также без окна) и записать сеанс как сценарий, который его воспроизводит. Записывается всё, что меняет матч (клавиши-стрелки, `--play-as`); пауза и скорость меняют лишь то, какие кадры идут, а это уже говорят строки `tick`. FILE, в который нельзя писать, завершает программу с кодом 2 до открытия окна; ошибка записи позже (полный диск, удалённый файл) останавливает запись, и баннер и стандартный поток ошибок говорят, на каком кадре. Запись сетевого матча хранит ввод всех игроков и чат строками `#`.</translation>
    </message>
    <message>
        <source>Watch a recording in the window at normal speed with its own seeds. The recording drives the match (the mouse over the view changes nothing); P, full stop, + and -, F3 and F12 work. Each `hash` line is checked when reached: a difference shows "out of sync at frame N" in a box and pauses; at the end the replay pauses and the banner says so. The recording is played once when it opens, to find its marks (first bases, deliveries and losses, a side wiped out, failed checks) and keep snapshots for seeking: a timeline under the view shows them, a click or a drag on it seeks, and the keys seek too (F1). F5 takes the match over as side 0, F6 as side 1, F7 gives both sides to the computer; Ctrl+S saves the match so far. With `--headless` the recording plays to its end (status 3 when a check fails), or `--script` drives it: `tick` plays it on, `seek F` goes to frame F.</source>
        <translation>Смотреть запись в окне с обычной скоростью и её собственными засевами. Запись ведёт матч (мышь над видом ничего не меняет); работают P, точка, + и -, F3 и F12. Каждая строка `hash` проверяется, когда до неё доходит очередь: расхождение показывает «out of sync at frame N» в окне сообщения и ставит паузу; в конце воспроизведение встаёт на паузу, и баннер об этом говорит. При открытии запись проигрывается один раз, чтобы найти её отметки (первые базы, доставки и потери, уничтоженная сторона, неудачные проверки) и сохранить снимки для перемотки: их показывает шкала времени под видом, щелчок или протяжка по ней перематывает, клавиши тоже (F1). F5 перенимает матч за сторону 0, F6 за сторону 1, F7 отдаёт обе стороны компьютеру; Ctrl+S сохраняет матч на этот момент. С `--headless` запись проигрывается до конца (код 3 при неудачной проверке), либо её ведёт `--script`: `tick` проигрывает дальше, `seek F` переходит к кадру F.</translation>
    </message>
    <message>
        <source>With `--replay`: open the recording at frame F (its end at most).</source>
        <translation>С `--replay`: открыть запись на кадре F (не дальше её конца).</translation>
    </message>
    <message>
        <source>Play the recording FILE to its end without drawing, then go on with the match from there (in the window, or headless with `--script`): the recording is a saved match. With `--record` the match so far and what follows go to that file.</source>
        <translation>Проиграть запись FILE до конца без рисования и продолжить матч оттуда (в окне или без окна с `--script`): запись служит сохранённым матчем. С `--record` матч до этого момента и всё, что дальше, идут в тот файл.</translation>
    </message>
    <message>
        <source>Start with the sound off (M in the window turns it on). Without an audio device the program runs silently and says so in one line on standard error.</source>
        <translation>Начать с выключенным звуком (M в окне включает его). Без звукового устройства программа работает беззвучно и сообщает об этом одной строкой в стандартный поток ошибок.</translation>
    </message>
    <message>
        <source>Read the two race lists, every type file and every bitmap as the load button does, with no window, print every problem found with its file and line, then `N errors, M warnings`. Exit status 0 without errors, 1 with errors.</source>
        <translation>Прочитать оба списка рас, каждый файл типа и каждый рисунок, как это делает кнопка загрузки, без окна, вывести каждую найденную проблему с файлом и строкой, затем `N errors, M warnings`. Код выхода 0 без ошибок, 1 с ошибками.</translation>
    </message>
    <message>
        <source>Play N computer-against-computer matches of the test level with no window, match k with seed S + k: one JSON line per match on standard output, a summary on standard error. Exit status 1 when the data cannot be loaded.</source>
        <translation>Сыграть без окна N матчей компьютера против компьютера на тестовом уровне, матч k с засевом S + k: по строке JSON на матч в стандартный вывод, итог в стандартный поток ошибок. Код выхода 1, если данные не загружаются.</translation>
    </message>
    <message>
        <source>Create the level of FILE, or of a shipped level named by itself (`test`, `four_mines`, `battle`), instead of the test level: in the window, headless, with `--batch` and with `--ladder`. With `--check`, check it too. A level with errors ends the program with status 1.</source>
        <translation>Создать уровень из FILE или поставляемый уровень по его имени (`test`, `four_mines`, `battle`) вместо тестового: в окне, без окна, с `--batch` и с `--ladder`. С `--check` проверить и его. Уровень с ошибками завершает программу с кодом 1.</translation>
    </message>
    <message>
        <source>Side S (0 or 1) is played by the AI script FILE, or by a shipped one named by itself (`standard.lua`, from the data folder's `ai/`), instead of the computer opponent; given once per side, in the window, headless and with `--batch`. It enters the match as the input `ai S FILE`, so a recording plays its scripts again; for that reason it does not go with `--replay` or `--resume` (status 2). In a network match every peer, observers included, gives the same scripts (a peer with others is refused, naming them), and a player whose side has a script watches it play that side. A script that fails is stopped with its file, line and reason on standard error, and the computer opponent plays its side from the next frame. With `--check`, `--ai FILE` checks the script instead: its syntax and calls of functions that scripts do not have.</source>
        <translation>Сторону S (0 или 1) играет сценарий ИИ FILE или поставляемый по его имени (`standard.lua`, из папки `ai/` данных) вместо компьютерного противника; задаётся по разу на сторону, в окне, без окна и с `--batch`. Он входит в матч как ввод `ai S FILE`, поэтому запись снова играет его сценарии; поэтому он не сочетается с `--replay` и `--resume` (статус 2). В сетевом матче каждый участник, включая зрителей, задаёт те же сценарии (участник с другими получает отказ с их названием), а игрок, чью сторону играет сценарий, смотрит, как тот её играет. Сбойный сценарий останавливается с файлом, строкой и причиной в стандартном потоке ошибок, и со следующего кадра его сторону играет компьютерный противник. С `--check` `--ai FILE` вместо этого проверяет сценарий: синтаксис и вызовы функций, которых у сценариев нет.</translation>
    </message>
    <message>
        <source>Play every pair of the AI scripts named after the options (paths or shipped names, at least two) on both sides, each over `--games` seeds, with no window: one JSON line per match on standard output; on standard error each pair's wins, losses and draws with 95 % Wilson intervals, and a rating of each AI with its 95 % interval. `--level`, `--frames`, `--jobs`, `--seed` and `--shard` work as with `--batch`.</source>
        <translation>Сыграть без окна каждую пару сценариев ИИ, названных после параметров (пути или имена поставляемых, не меньше двух), на обеих сторонах, каждую на `--games` засевах: по строке JSON на матч в стандартный вывод; в стандартный поток ошибок победы, поражения и ничьи каждой пары с 95-процентными интервалами Уилсона и рейтинг каждого ИИ с его 95-процентным интервалом. `--level`, `--frames`, `--jobs`, `--seed` и `--shard` действуют как с `--batch`.</translation>
    </message>
    <message>
        <source>With `--ladder`: play each pair on N seeds (10 unless given) with each AI on each side.</source>
        <translation>С `--ladder`: играть каждую пару на N засевах (10, если не задано), каждым ИИ на каждой стороне.</translation>
    </message>
    <message>
        <source>With `--batch` or `--ladder`: end a match after F frames (360000 unless given).</source>
        <translation>С `--batch` или `--ladder`: заканчивать матч через F кадров (360000, если не задано).</translation>
    </message>
    <message>
        <source>With `--batch` or `--ladder`: play J matches at a time (one per core unless given).</source>
        <translation>С `--batch` или `--ladder`: играть J матчей одновременно (по одному на ядро, если не задано).</translation>
    </message>
    <message>
        <source>With `--batch` or `--ladder`: play only the K-th of M equal slices of the matches (1 &lt;= K &lt;= M), so that machines can share the work.</source>
        <translation>С `--batch` или `--ladder`: играть только K-ю из M равных частей матчей (1 &lt;= K &lt;= M), чтобы несколько машин делили работу.</translation>
    </message>
    <message>
        <source>Read batch or ladder lines from the files named after the options (none or `-`: standard input) and print the summary one run of those matches would print; matches missing or repeated are reported on standard error (status 1).</source>
        <translation>Прочитать строки серии или турнира из файлов, названных после параметров (нет или `-`: стандартный ввод), и вывести итог, который вывел бы один запуск этих матчей; недостающие или повторённые матчи сообщаются в стандартный поток ошибок (код 1).</translation>
    </message>
    <message>
        <source>Open a network match on UDP port PORT (7341 unless given) and play it in the window (the banner lists who has joined; the game menu's Start the network match starts it with them) or headless with `--script`: it starts once `--players` players are in (this one holds side 0, or `--play-as`). Every peer prints its state hash when the last player has left; a window closed before then waits hidden for it.</source>
        <translation>Открыть сетевой матч на UDP-порту PORT (7341, если не задан) и играть его в окне (баннер перечисляет присоединившихся; пункт игрового меню «Start the network match» начинает матч с ними) или без окна с `--script`: матч начинается, когда соберутся `--players` игроков (этот держит сторону 0 или `--play-as`). Каждый участник выводит хэш своего состояния, когда уходит последний игрок; окно, закрытое раньше, ждёт этого скрытым.</translation>
    </message>
    <message>
        <source>Join the match of a host or a relay as the player of side `--play-as` (a free one unless given) or, with `--watch`, as an observer, in the window or headless with `--script`; a match already running is re-simulated from its start without drawing. A different protocol or data set is refused with status 4, a state that differs from another peer's ends with status 3.</source>
        <translation>Присоединиться к матчу хоста или ретранслятора игроком стороны `--play-as` (свободной, если не задано) или, с `--watch`, наблюдателем, в окне или без окна с `--script`; уже идущий матч пересчитывается с начала без рисования. Другой протокол или другой набор данных отклоняется с кодом 4, состояние, отличное от состояния другого участника, завершает программу с кодом 3.</translation>
    </message>
    <message>
        <source>With `--join`: watch the match instead of playing a side.</source>
        <translation>С `--join`: наблюдать за матчем вместо игры за сторону.</translation>
    </message>
    <message>
        <source>Relay matches on UDP port PORT (7341 unless given) for peers that cannot reach each other; each match is named by `--match`. No window, no data, no simulation; runs until stopped.</source>
        <translation>Ретранслировать матчи на UDP-порту PORT (7341, если не задан) для участников, которые не могут связаться напрямую; каждый матч назван по `--match`. Без окна, без данных, без моделирования; работает, пока его не остановят.</translation>
    </message>
    <message>
        <source>With `--host` or `--join` of a new match: start once N players (1 or 2) are in.</source>
        <translation>С `--host` или `--join` нового матча: начать, когда соберутся N игроков (1 или 2).</translation>
    </message>
    <message>
        <source>With `--host`, `--join`: the match's name at a relay (`main` unless given).</source>
        <translation>С `--host`, `--join`: имя матча у ретранслятора (`main`, если не задано).</translation>
    </message>
    <message>
        <source>With `--host`, `--join`: give up after S seconds (30 unless given) without an answer from a peer that the match waits for, with status 4.</source>
        <translation>С `--host`, `--join`: сдаться через S секунд (30, если не задано) без ответа от участника, которого ждёт матч, с кодом 4.</translation>
    </message>
    <message>
        <source>Print the options, the keys and the script commands, then exit.</source>
        <translation>Вывести параметры, клавиши и команды сценариев и выйти.</translation>
    </message>
    <message>
        <source>Print the version, then exit.</source>
        <translation>Вывести версию и выйти.</translation>
    </message>
</context>
<context>
    <name>commands</name>
    <message>
        <source>Script commands, one a line (# starts a comment):</source>
        <translation>Команды сценариев, по одной в строке (# начинает комментарий):</translation>
    </message>
    <message>
        <source>click a button (a disabled one ignores it)</source>
        <translation>нажать кнопку (недоступная не отзывается)</translation>
    </message>
    <message>
        <source>run N frames (1)</source>
        <translation>выполнить N кадров (1)</translation>
    </message>
    <message>
        <source>move the mouse to view pixels, y from the top</source>
        <translation>переместить мышь в пиксели вида, y сверху</translation>
    </message>
    <message>
        <source>press a mouse button</source>
        <translation>нажать кнопку мыши</translation>
    </message>
    <message>
        <source>choose item I of combo box K (-1: none)</source>
        <translation>выбрать пункт I списка K (-1: ничего)</translation>
    </message>
    <message>
        <source>tick or untick check box K</source>
        <translation>поставить или снять флажок K</translation>
    </message>
    <message>
        <source>resize the view, which runs one frame</source>
        <translation>изменить размер вида, что выполняет один кадр</translation>
    </message>
    <message>
        <source>hold or release an arrow key (the camera moves 1 a frame)</source>
        <translation>нажать или отпустить стрелку (камера сдвигается на 1 за кадр)</translation>
    </message>
    <message>
        <source>the computer plays only the other side of S (-1: both)</source>
        <translation>компьютер играет только другой стороной, чем S (-1: обеими)</translation>
    </message>
    <message>
        <source>set side S's treasury</source>
        <translation>задать казну стороны S</translation>
    </message>
    <message>
        <source>add an object of race R, kind K, side S at X, Y heading A</source>
        <translation>добавить объект расы R, вида K, стороны S в X, Y с направлением A</translation>
    </message>
    <message>
        <source>set a field of object I (texts take the rest of the line)</source>
        <translation>задать поле объекта I (текст занимает остаток строки)</translation>
    </message>
    <message>
        <source>the whole state as JSON</source>
        <translation>всё состояние в виде JSON</translation>
    </message>
    <message>
        <source>the two seeds, before the first frame</source>
        <translation>оба засева, до первого кадра</translation>
    </message>
    <message>
        <source>print the state hash, or stop with status 3 when it differs</source>
        <translation>вывести хэш состояния или остановиться с кодом 3, если он другой</translation>
    </message>
    <message>
        <source>the view as PNG (window only)</source>
        <translation>вид в PNG (только в окне)</translation>
    </message>
    <message>
        <source>the level file (or a shipped level's name) press 2 creates instead of the test level</source>
        <translation>файл уровня (или имя поставляемого уровня), который создаёт press 2 вместо тестового</translation>
    </message>
    <message>
        <source>select the units in a box of view pixels (add: keep the selection)</source>
        <translation>выделить юниты в рамке из пикселей вида (add: сохранить выделение)</translation>
    </message>
    <message>
        <source>select every unit in view of the type and side at X, Y</source>
        <translation>выделить все видимые юниты того же типа и стороны, что в X, Y</translation>
    </message>
    <message>
        <source>control group N: store or add the selection, select it, centre the view on it</source>
        <translation>группа N: сохранить выделение или добавить к ней, выделить её, навести на неё вид</translation>
    </message>
    <message>
        <source>with --replay: go to frame F of the recording, forward or back (tick plays it on)</source>
        <translation>с --replay: перейти к кадру F записи, вперёд или назад (tick проигрывает дальше)</translation>
    </message>
    <message>
        <source>who moves the camera: each frame (as at x1), or only the scroll steps</source>
        <translation>кто двигает камеру: каждый кадр (как при x1) или только шаги прокрутки</translation>
    </message>
    <message>
        <source>N steps of edge scrolling and held arrows (1), as a timer tick takes one</source>
        <translation>N шагов прокрутки у края и зажатых стрелок (1), как за один тик таймера</translation>
    </message>
    <message>
        <source>zoom by sqrt(2) about view pixel X, Y (x0.25 to x4)</source>
        <translation>масштаб в sqrt(2) раз вокруг пикселя вида X, Y (от x0.25 до x4)</translation>
    </message>
    <message>
        <source>centre the view on side S's first base, else its first unit</source>
        <translation>навести вид на первую базу стороны S, иначе на её первый юнит</translation>
    </message>
    <message>
        <source>centre the view on world point X, Y (the minimap)</source>
        <translation>навести вид на точку мира X, Y (мини-карта)</translation>
    </message>
    <message>
        <source>show or hide the minimap (changes no state)</source>
        <translation>показать или скрыть мини-карту (состояние не меняется)</translation>
    </message>
    <message>
        <source>keep at least a fifth of the view over the ground (the window turns it on when needed)</source>
        <translation>держать над землёй не меньше пятой части вида (окно включает это, когда нужно)</translation>
    </message>
    <message>
        <source>a new match with seed SEED: the level given (a file or a shipped level's name), else the same level again; the data stay loaded</source>
        <translation>новый матч с засевом SEED: на указанном уровне (файл или имя поставляемого уровня), иначе на том же; данные остаются загруженными</translation>
    </message>
    <message>
        <source>the inputs that follow are player N's (a match of several players)</source>
        <translation>следующий ввод принадлежит игроку N (матч нескольких игроков)</translation>
    </message>
    <message>
        <source>side S is played by the AI script FILE (a shipped name such as easy.lua, or a path) from its next turn; FILE -: by the built-in opponent again</source>
        <translation>сторону S играет сценарий ИИ FILE (имя поставляемого, например easy.lua, или путь) с её следующего хода; FILE -: снова встроенный противник</translation>
    </message>
    <message>
        <source>the match's figures once a second since the level's creation, as CSV (FILE: to a file)</source>
        <translation>показатели матча раз в секунду с создания уровня, в CSV (FILE: в файл)</translation>
    </message>
</context>
<context>
    <name>charts</name>
    <message>
        <source>seconds</source>
        <translation>секунды</translation>
    </message>
    <message>
        <source>money</source>
        <translation>деньги</translation>
    </message>
    <message>
        <source>ore delivered</source>
        <translation>доставлено руды</translation>
    </message>
    <message>
        <source>workers</source>
        <translation>рабочие</translation>
    </message>
    <message>
        <source>units</source>
        <translation>юниты</translation>
    </message>
    <message>
        <source>buildings</source>
        <translation>здания</translation>
    </message>
    <message>
        <source>army</source>
        <translation>армия</translation>
    </message>
    <message>
        <source>kills</source>
        <translation>убито</translation>
    </message>
    <message>
        <source>losses</source>
        <translation>потери</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Тип</translation>
    </message>
    <message>
        <source>Finished 0</source>
        <translation>Сделано 0</translation>
    </message>
    <message>
        <source>Lost 0</source>
        <translation>Потеряно 0</translation>
    </message>
    <message>
        <source>Finished 1</source>
        <translation>Сделано 1</translation>
    </message>
    <message>
        <source>Lost 1</source>
        <translation>Потеряно 1</translation>
    </message>
    <message>
        <source>Economy</source>
        <translation>Экономика</translation>
    </message>
    <message>
        <source>Forces</source>
        <translation>Силы</translation>
    </message>
    <message>
        <source>Army</source>
        <translation>Армия</translation>
    </message>
    <message>
        <source>Kills</source>
        <translation>Бои</translation>
    </message>
    <message>
        <source>By type</source>
        <translation>По типам</translation>
    </message>
</context>
</TS>
