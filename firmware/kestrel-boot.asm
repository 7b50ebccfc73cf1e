; Kestrel's serial bootloader for the PIC16F877A: 9600 baud 8N1 on RC6/TX and RC7/RX, words
; 0x000-0x0FF. Built once per crystal: gpasm -D CLOCK_MHZ=20 (HS) or -D CLOCK_MHZ=4 (XT).
;
; A request is 0x0F, the payload with 0x04, 0x05 and 0x0F escaped by 0x05, then 0x04 and a
; checksum that makes the payload's byte sum zero; replies are framed the same way. The whole
; frame is taken in before anything is done. A frame that is damaged, of 80 payload bytes or
; more, of the wrong length or that asks for anything outside the rules below changes nothing
; and gets no reply.

        list    p=16f877a, r=dec
        #include <p16f877a.inc>
        #include "kestrel-app.inc"
        errorlevel -302

        ifndef CLOCK_MHZ
        error "define CLOCK_MHZ as 20 or 4"
        endif
        if CLOCK_MHZ == 20
BAUD_DIVISOR    equ 129         ; BRGH=1: 20 MHz / (16 * 130) = 9615 baud
CONFIG_WORD     equ _HS_OSC & _WDT_OFF & _PWRTE_ON & _BOREN_ON & _LVP_OFF & _CPD_OFF & _WRT_256 & _DEBUG_OFF & _CP_OFF
        else
        if CLOCK_MHZ == 4
BAUD_DIVISOR    equ 25          ; BRGH=1: 4 MHz / (16 * 26) = 9615 baud
CONFIG_WORD     equ _XT_OSC & _WDT_OFF & _PWRTE_ON & _BOREN_ON & _LVP_OFF & _CPD_OFF & _WRT_256 & _DEBUG_OFF & _CP_OFF
        else
        error "CLOCK_MHZ must be 20 or 4"
        endif
        endif
        __config CONFIG_WORD

VERSION_MAJOR   equ 1
VERSION_MINOR   equ 0

STX             equ 0x0F
ETX             equ 0x04
ESC             equ 0x05
TXSTA_ON        equ (1 << TXEN) | (1 << BRGH)
RCSTA_ON        equ (1 << SPEN) | (1 << CREN)
; The listening time counts Timer1's overflows (1:1, every 65536 cycles) from a value that W
; holds anyway: 144 of 13.1 ms at 20 MHz, 36 of 65.5 ms at 4 MHz; about 2 s either way.
        if CLOCK_MHZ == 20
LISTEN_TICKS    equ RCSTA_ON
        else
LISTEN_TICKS    equ TXSTA_ON
        endif
        if LISTEN_TICKS * 65536 * 4 / CLOCK_MHZ < 1800000 || LISTEN_TICKS * 65536 * 4 / CLOCK_MHZ > 2500000
        error "the listening time is not about 2 s"
        endif

; The request is stored downward from 0x74: its header in common RAM, where every bank sees
; it, its data on in bank 2 beside the memory registers. Commands run in bank 2, the line in
; bank 0. Once the buffer is full, further bytes land on its last one, and the frame's length
; then matches no request.
reqCode         equ 0x74
reqCount        equ 0x73
reqAddrL        equ 0x72
reqAddrH        equ 0x71
reqAddrU        equ 0x70
REQ_DATA        equ 0x6F        ; with IRP set: 0x16F down
BUFFER_END      equ 0x24        ; 80 bytes in all

; Working bytes in common RAM; 0x7D-0x7F are the application's.
        cblock 0x75
        byte, sum, count, ticks
        endc
EEPROM          equ 2           ; bits of the request's code: 04 and 05 are EEPROM's
ERASE           equ 0           ; and 03 is the erase (05 has the bit too)

        org     0x000               ; PCLATH is 0 after every reset
        bsf     STATUS, RP0
        bcf     TRISC, 6            ; the model drives TX only as an output
        movlw   BAUD_DIVISOR
        goto    Boot

        org     0x004
        movwf   KESTREL_W
        swapf   STATUS, W
        movwf   KESTREL_STATUS
        movf    PCLATH, W
        movwf   KESTREL_PCLATH
        clrf    PCLATH
        goto    KESTREL_INTERRUPT

Boot:
        movwf   SPBRG
        movlw   TXSTA_ON
        movwf   TXSTA
        if LISTEN_TICKS == TXSTA_ON
        movwf   ticks
        endif
        bcf     STATUS, RP0
        movlw   RCSTA_ON
        movwf   RCSTA
        if LISTEN_TICKS == RCSTA_ON
        movwf   ticks
        endif
        movlw   (1 << IRP) | (1 << RP1)
        movwf   STATUS
        clrf    reqCode             ; the flash, for the read below
        clrf    EEADR               ; the application's first word: blank means stay
        movlw   high KESTREL_RESET
        movwf   EEADRH
        call    ReadMemory
        movf    EEDATA, W
        andwf   EEDATH, W
        xorlw   0x3F
        movlw   1 << TMR1ON
        bcf     STATUS, RP1
        btfss   STATUS, Z
        movwf   T1CON               ; listens until Timer1 has overflowed LISTEN_TICKS times
        goto    Hunt

; 00 count FF: the version, minor first, then the major for every further byte asked;
; 00 00 FF: leave for the application.
Version:
        movlw   low reqCode - 3     ; the third byte, FF, is not looked at
        call    LengthIs
        movf    reqCount, W
        btfsc   STATUS, Z
        goto    StartApplication    ; the last reply has left the line: nothing is cut short
        movlw   2
        call    ReplyHeader
        movlw   VERSION_MINOR
        call    SendCounted
        movlw   VERSION_MAJOR
        call    SendCounted         ; W is kept
        goto    $-1

; 01 count address: flash words, low byte first. The address is taken to 13 bits as the
; chip's address register does, so 0x2000 and up read from 0x0000 again: the chip cannot read
; its configuration space. 04 count address: EEPROM bytes from the address's low byte.
Read:
        movlw   low REQ_DATA
        call    LengthIs
        movlw   5
        call    ReplyHeader
ReadUnit:
        call    ReadMemory
        movf    EEDATA, W
        call    SendCounted
        movf    EEDATH, W           ; 14 bits: writes keep the model's words to 14 bits too
        btfss   reqCode, EEPROM
        call    SendCounted
        goto    ReadUnit

; 02 blocks address data: 1 to 8 blocks of four words. 03 rows address zeros: 1 to 8 rows of
; 32 words made blank.
WriteFlash:
        decf    reqCount, W
        andlw   0xF8
        btfss   STATUS, Z
        goto    Hunt
        movf    reqCount, W         ; an erase's length: its count of zero bytes
        btfsc   reqCode, ERASE
        goto    Erase
        rlf     reqCount, F         ; C is clear after the code's test
        rlf     reqCount, F         ; 4 words a block
        rlf     reqCount, W         ; 8 bytes a block
Length:
        call    LengthIsPlus5
; A write lies in 0x100-0x1FFF and starts on a 4-word block.
FlashRange:
        decf    reqAddrH, W
        andlw   0xE0
        iorwf   reqAddrU, W
        btfss   STATUS, Z
        goto    Hunt                ; from 0x100, and below 0x2100
        movlw   0x03
        andwf   EEADR, W
        btfss   STATUS, Z
        goto    Hunt
        decf    reqCount, W
        addwf   EEADR, W            ; C: the last word lies in the next 256 words
        movf    reqAddrH, W
        btfsc   STATUS, C
        addlw   1
        addlw   256 - 0x20          ; C: the last word lies past 0x1FFF
        btfsc   STATUS, C
        goto    Hunt
WriteUnit:
        call    DataByte
        movwf   EEDATA
        movlw   0                   ; the model stores EEDATH with an EEPROM byte
        btfss   reqCode, EEPROM
        call    DataByte
        andlw   0x3F                ; the model would keep all 16 bits
        movwf   EEDATH
        call    WriteMemory
        decfsz  reqCount, F
        goto    WriteUnit
; A reply of the request's code alone.
Acknowledge:
        movlw   1
        call    ReplyHeader
ReplyEnd:
        movlw   ETX
        call    SendRaw
        movf    sum, W              ; minus the payload's sum
        call    SendRaw
; Frames, in bank 0: hunt for 0x0F; a bare 0x0F anywhere starts the frame again.
Hunt:
        bcf     STATUS, RP1
        call    GetByte
        xorlw   STX
        btfss   STATUS, Z
        goto    Hunt
NewFrame:
        clrf    sum
        movlw   low reqCode
        movwf   FSR
Payload:
        call    GetByte
        xorlw   STX
        btfsc   STATUS, Z
        goto    NewFrame
        xorlw   STX ^ ETX
        btfsc   STATUS, Z
        goto    Checksum
        xorlw   ETX ^ ESC
        btfsc   STATUS, Z
        call    GetByte             ; the escaped byte stands for itself
        movf    byte, W
        subwf   sum, F
        movwf   INDF
        movf    FSR, W
        xorlw   low BUFFER_END
        btfss   STATUS, Z
        decf    FSR, F
        goto    Payload
Checksum:
        call    GetByte
        subwf   sum, F              ; 0 for a good frame, and so ready for the reply
        btfss   STATUS, Z
        goto    Hunt
        clrf    T1CON               ; a valid frame: stay until the reset request,
        bcf     PIR1, TMR1IF        ; even when its last tick is already due
        bsf     STATUS, RP1
        movlw   6
        subwf   reqCode, W
        btfsc   STATUS, C
        goto    Hunt                ; 07 among them: the chip cannot write its configuration
        movf    reqAddrL, W
        movwf   EEADR
        movf    reqAddrH, W
        andlw   0x1F                ; the address register has 13 bits
        movwf   EEADRH
        movf    reqCode, W
        addwf   PCL, F
        goto    Version
        goto    Read
        goto    WriteFlash          ; 03
        goto    WriteFlash
        goto    Read
; 05 count address data: 1 to 74 EEPROM bytes from the address's low byte.
WriteEeprom:
        clrf    EEADRH              ; the model takes the high address byte too
        decf    reqCount, W
        sublw   73
        btfss   STATUS, C
        goto    Hunt
        movf    reqCount, W
        call    LengthIsPlus5
        goto    WriteUnit

; The erase's rows in words, then the write's checks and loop: 8 rows make 0, taken as 256.
; The zero bytes are not looked at.
Erase:
        swapf   reqCount, F
        rlf     reqCount, F         ; C is clear after the code's test
        goto    Length

; ----- helpers for the commands, entered and left in bank 2

; Drops the frame unless its length is 5 + W, or W; then points FSR at the data.
LengthIsPlus5:
        sublw   low REQ_DATA
LengthIs:
        xorwf   FSR, W
        btfss   STATUS, Z
        goto    Hunt                ; the call is left behind: the stack is circular
        movlw   low REQ_DATA
        movwf   FSR
        return

; The next data byte of the request, or an erased one for an erase, whose words go far past
; the buffer.
DataByte:
        btfss   reqCode, ERASE
        goto    NextByte
        btfss   reqCode, EEPROM
        retlw   0xFF
NextByte:
        movf    INDF, W
        decf    FSR, F
        return

; Reads what the memory registers point at into EEDATH:EEDATA, then moves them on.
ReadMemory:
        call    Select
        bsf     EECON1, RD
        nop                         ; silicon skips the two after a flash read
        nop
        goto    Advance

; Writes EEDATH:EEDATA where the memory registers point, then moves them on. The unlock runs
; straight into WR, as the chip asks. Silicon skips the two after a flash write and halts
; until it is done; the model goes on and drops a WR that comes during a write, so the write
; is waited for.
WriteMemory:
        call    Select
        bsf     EECON1, WREN
        movlw   0x55
        movwf   EECON2
        movlw   0xAA
        movwf   EECON2
        bsf     EECON1, WR
        btfsc   EECON1, WR
        goto    $-1
        bcf     EECON1, WREN
; The silicon ignores EEADRH for the EEPROM, so its offsets wrap at 256; the model would
; take EEADRH for an EEPROM write past offset 0xFF.
Advance:
        bcf     STATUS, RP0
        incf    EEADR, F
        btfsc   STATUS, Z
        incf    EEADRH, F
        return

; Flash, or the EEPROM for the EEPROM's commands; leaves bank 3 selected.
Select:
        bsf     STATUS, RP0
        bcf     EECON1, EEPGD
        btfss   reqCode, EEPROM
        bsf     EECON1, EEPGD
        return


; Starts a reply with the first W bytes of the request.
ReplyHeader:
        movwf   count
        movlw   STX
        call    SendRaw
        movlw   low reqCode
        movwf   FSR
ReplyHeaderByte:
        movf    INDF, W
        call    Send
        decf    FSR, F
        decfsz  count, F
        goto    ReplyHeaderByte
        return

; W as the next of the count's bytes; once they are all sent, the reply ends.
SendCounted:
        movf    reqCount, F
        btfsc   STATUS, Z
        goto    ReplyEnd            ; the call is left behind: the stack is circular
        decf    reqCount, F

; W as a payload byte: escaped when it must be, added to the checksum.
Send:
        movwf   byte
        subwf   sum, F
        xorlw   ETX                 ; Z stays set once a special byte is found
        btfss   STATUS, Z
        xorlw   ETX ^ ESC
        btfss   STATUS, Z
        xorlw   ESC ^ STX
        movlw   ESC
        btfsc   STATUS, Z
        call    SendRaw
        movf    byte, W
SendRaw:
        bcf     STATUS, RP1
        btfss   PIR1, TXIF
        goto    $-1
        movwf   TXREG
        bsf     STATUS, RP1
        return

; ----- the line, in bank 0

; The next byte, in W and in byte. Timer1 runs only while the bootloader listens for its
; first frame; when it has overflowed often enough the application starts.
GetByte:
        btfsc   RCSTA, OERR
        goto    Overrun
        btfsc   PIR1, RCIF
        goto    GetByteReady
        btfss   PIR1, TMR1IF
        goto    GetByte
        bcf     PIR1, TMR1IF
        decfsz  ticks, F
        goto    GetByte
; The USART, port C and Timer1 as after a power-on reset, then the application.
StartApplication:
        clrf    STATUS
        clrf    RCSTA
        clrf    T1CON               ; TMR1IF was cleared before the last tick
        bsf     STATUS, RP0
        clrf    TXSTA
        clrf    SPBRG
        bsf     TRISC, 6
        clrf    STATUS
        goto    KESTREL_RESET
GetByteReady:
        movf    RCREG, W            ; a framing error goes with the byte read
        movwf   byte
        return
; The model drops a byte waiting in TXREG when CREN changes: the error is cleared once the
; last reply byte has moved on.
Overrun:
        btfsc   PIR1, TXIF
        bcf     RCSTA, CREN
        bsf     RCSTA, CREN
        goto    Hunt

        end
